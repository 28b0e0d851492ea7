#pragma once
// Small helpers shared by the tests: temporary folders and files, running tools.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tamsel::testing {

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

// Creates an empty file (or one with the given bytes) inside dir.
inline QString Touch(const QDir& dir, const QString& name, const QByteArray& bytes = {})
{
    const QString path = dir.filePath(name);
    WriteAll(path, bytes);
    return path;
}

// Runs a command-line tool; returns its standard output, or a null array when
// it could not run or failed.
inline QByteArray RunTool(const QString& program, const QStringList& args, int timeoutMs = 30000)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QByteArray();
    QByteArray out = p.readAllStandardOutput();
    if (out.isNull())
        out = QByteArray("");
    return out;
}

}  // namespace tamsel::testing
