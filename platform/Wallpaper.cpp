#include "platform/Wallpaper.h"

#include "platform/QuitSignalRoute.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace tamsel {
namespace {

constexpr int kToolTimeoutMs = 10000;

// Runs a settings tool; its standard output, or a null array when it could
// not run or failed.
QByteArray Run(const QString& program, const QStringList& args)
{
    QProcess p;
    // The tool must not inherit the program's blocked quit signals.
    p.setChildProcessModifier(UnblockQuitSignals);
    p.start(program, args);
    if (!p.waitForStarted(kToolTimeoutMs))
        return {};
    if (!p.waitForFinished(kToolTimeoutMs)) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    QByteArray out = p.readAllStandardOutput();
    return out.isNull() ? QByteArray("") : out;
}

QString Failure(const QString& desktop, const QString& what)
{
    return QStringLiteral("对不起,未能设置%1的桌面墙纸:%2").arg(desktop, what);
}

Outcome SetXfceWallpaper(const QString& file)
{
    const QString channel = QStringLiteral("xfce4-desktop");
    const QByteArray list = Run(QStringLiteral("xfconf-query"), {"-c", channel, "-l"});
    if (list.isNull())
        return {false, Failure("Xfce", QStringLiteral("xfconf-query 无法运行"))};
    // One picture per monitor and workspace; set every one there is.
    QStringList props;
    for (const QByteArray& line : list.split('\n'))
        if (line.trimmed().endsWith("/last-image"))
            props << QString::fromUtf8(line.trimmed());
    if (props.isEmpty()) {
        const QString p = QStringLiteral("/backdrop/screen0/monitor0/workspace0/last-image");
        if (Run("xfconf-query", {"-c", channel, "-p", p, "-n", "-t", "string", "-s", file}).isNull())
            return {false, Failure("Xfce", QStringLiteral("设置项无法写入"))};
        return {true, {}};
    }
    for (const QString& p : props)
        if (Run("xfconf-query", {"-c", channel, "-p", p, "-s", file}).isNull())
            return {false, Failure("Xfce", QStringLiteral("设置项 %1 无法写入").arg(p))};
    return {true, {}};
}

QString JsString(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
        else
            out += c;
    }
    return out + '"';
}

Outcome SetKdeWallpaper(const QString& file)
{
    // Plasma keeps the picture in each desktop's own configuration, reachable
    // only through its shell's scripting interface.
    const QString script =
        QStringLiteral("var all = desktops();"
                       "for (var i = 0; i < all.length; i++) {"
                       "  var d = all[i];"
                       "  d.wallpaperPlugin = \"org.kde.image\";"
                       "  d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"
                       "  d.writeConfig(\"Image\", %1);"
                       "}")
            .arg(JsString(QUrl::fromLocalFile(file).toString()));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {false, Failure("KDE", QStringLiteral("连不上会话总线"))};
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
        QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
    call << script;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kToolTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return {false, Failure("KDE", reply.errorMessage())};
    return {true, {}};
}

}  // namespace

DesktopInfo DetectDesktop(const QProcessEnvironment& env)
{
    DesktopInfo info;
    info.name = env.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    if (info.name.isEmpty())
        info.name = env.value(QStringLiteral("DESKTOP_SESSION"));
    info.display = env.value(QStringLiteral("DISPLAY")).toLocal8Bit();
    const QStringList names = info.name.toUpper().split(QRegularExpression("[:;]"), Qt::SkipEmptyParts);
    auto has = [&](const char* n) { return names.contains(QLatin1String(n)); };

    if (has("X-CINNAMON") || has("CINNAMON"))
        info.kind = DesktopKind::Cinnamon;
    else if (has("MATE"))
        info.kind = DesktopKind::Mate;
    else if (has("GNOME") || has("UNITY") || has("BUDGIE") || has("BUDGIE-DESKTOP") ||
             has("PANTHEON") || has("GNOME-CLASSIC") || has("GNOME-FLASHBACK") || has("UBUNTU"))
        info.kind = DesktopKind::Gnome;
    else if (has("XFCE"))
        info.kind = DesktopKind::Xfce;
    else if (has("KDE") || has("PLASMA") || env.value(QStringLiteral("KDE_FULL_SESSION")) == QLatin1String("true"))
        info.kind = DesktopKind::Kde;
    else if (!names.isEmpty())
        info.kind = DesktopKind::None;   // a desktop we do not know how to reach
    else if (!env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        info.kind = DesktopKind::Wayland;
    else if (!info.display.isEmpty())
        info.kind = DesktopKind::BareX;
    return info;
}

Outcome SetGsettingsWallpaper(const QString& file, DesktopKind kind)
{
    const QString uri = QUrl::fromLocalFile(file).toString();
    QString schema, key = QStringLiteral("picture-uri"), value = uri, desktop;
    switch (kind) {
    case DesktopKind::Cinnamon:
        schema = QStringLiteral("org.cinnamon.desktop.background");
        desktop = QStringLiteral("Cinnamon");
        break;
    case DesktopKind::Mate:
        schema = QStringLiteral("org.mate.background");
        key = QStringLiteral("picture-filename");
        value = file;
        desktop = QStringLiteral("MATE");
        break;
    default:
        schema = QStringLiteral("org.gnome.desktop.background");
        desktop = QStringLiteral("GNOME");
        break;
    }
    const QString tool = QStringLiteral("gsettings");
    const QByteArray keys = Run(tool, {"list-keys", schema});
    if (keys.isNull())
        return {false, Failure(desktop, QStringLiteral("gsettings 无法运行,或没有设置项 %1").arg(schema))};
    if (Run(tool, {"set", schema, key, value}).isNull())
        return {false, Failure(desktop, QStringLiteral("设置项 %1 无法写入").arg(key))};
    // GNOME 42 and later show this one in dark mode.
    if (keys.split('\n').contains("picture-uri-dark") &&
        Run(tool, {"set", schema, "picture-uri-dark", uri}).isNull())
        return {false, Failure(desktop, QStringLiteral("设置项 picture-uri-dark 无法写入"))};
    return {true, {}};
}

Outcome SetPortalWallpaper(const QString& file, const QDBusConnection& bus)
{
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Wallpaper"), QStringLiteral("SetWallpaperURI"));
    // No window handle to give: the portal places its question itself.
    ask << QString() << QUrl::fromLocalFile(file).toString()
        << QVariantMap{{QStringLiteral("show-preview"), false}, {QStringLiteral("set-on"), QStringLiteral("both")}};
    // The portal answers at once with the handle of its request; the picture
    // changes when the desktop has done it.
    constexpr int kAnswerMs = 3000;
    const QDBusMessage reply = bus.isConnected() ? bus.call(ask, QDBus::Block, kAnswerMs) : QDBusMessage();
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {true, {}};
    return {false,
            QStringLiteral("对不起,这个 Wayland 桌面既不是已知的桌面,也没有设置墙纸的门户服务;图片已复制到 %1").arg(file)};
}

Outcome ApplyWallpaper(const QString& file, const DesktopInfo& desktop)
{
    switch (desktop.kind) {
    case DesktopKind::Gnome:
    case DesktopKind::Cinnamon:
    case DesktopKind::Mate:
        return SetGsettingsWallpaper(file, desktop.kind);
    case DesktopKind::Xfce:
        return SetXfceWallpaper(file);
    case DesktopKind::Kde:
        return SetKdeWallpaper(file);
    case DesktopKind::BareX:
        return SetRootWindowPicture(file, desktop.display);
    case DesktopKind::Wayland:
        return SetPortalWallpaper(file, QDBusConnection::sessionBus());
    case DesktopKind::None:
        break;
    }
    if (desktop.name.isEmpty())
        return {false, QStringLiteral("对不起,没有找到可以设置墙纸的桌面;图片已复制到 %1").arg(file)};
    return {false, QStringLiteral("对不起,不知道怎样设置桌面 %1 的墙纸;图片已复制到 %2").arg(desktop.name, file)};
}

}  // namespace tamsel
