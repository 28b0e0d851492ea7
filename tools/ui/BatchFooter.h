#pragma once
#include "model/PhotoList.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace tamsel {

// The bottom of both batch dialogs: a line for notices, a progress bar with
// the count (hidden until work runs), and 确定 / 取消 at the right.
struct BatchFooter {
    QLabel* notice = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;

    // Adds the footer to layout; between the notice and the progress bar
    // goes `middle` (nullptr for none).
    static BatchFooter Add(QWidget* dialog, QBoxLayout* layout, QWidget* middle = nullptr)
    {
        BatchFooter f;
        f.notice = new QLabel(dialog);
        f.notice->setWordWrap(true);
        layout->addWidget(f.notice);
        if (middle)
            layout->addWidget(middle);
        f.progress = new QProgressBar(dialog);
        f.progress->setFormat(QStringLiteral("%v / %m"));
        f.progress->hide();
        layout->addWidget(f.progress);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        f.ok = new QPushButton(QStringLiteral("确定"), dialog);
        f.cancel = new QPushButton(QStringLiteral("取消"), dialog);
        f.ok->setDefault(true);
        buttons->addWidget(f.ok);
        buttons->addWidget(f.cancel);
        layout->addLayout(buttons);
        return f;
    }

    // A notice for the user; a fault in red.
    void Say(const QString& text, bool fault) const
    {
        notice->setText(text);
        notice->setStyleSheet(fault ? QStringLiteral("color: #c00000;") : QString());
        notice->setProperty("fault", fault);
        notice->setProperty("passedOver", QString());
    }

    // After a listing: says how many photos it passed over, after what the
    // notice already says (instead of the note of an earlier listing).
    void NotePassedOver(int count) const
    {
        QString text = notice->text();
        const QString earlier = notice->property("passedOver").toString();
        if (!earlier.isEmpty() && text.endsWith(earlier))
            text.chop(earlier.size());
        const QString note = count > 0 ? (text.isEmpty() ? QString() : QStringLiteral("  ")) + PassedOverText(count)
                                       : QString();
        Say(text + note, notice->property("fault").toBool());
        notice->setProperty("passedOver", note);
    }
};

// The "照片夹" frame both batch dialogs show: the folder worked on, and
// "浏览..." to choose another. Returns the button; label gets the folder line.
inline QPushButton* AddFolderFrame(QWidget* dialog, QBoxLayout* layout, QLabel*& label)
{
    auto* frame = new QGroupBox(QStringLiteral("照片夹"), dialog);
    auto* frameLayout = new QHBoxLayout(frame);
    label = new QLabel(frame);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    frameLayout->addWidget(label, 1);
    auto* browse = new QPushButton(QStringLiteral("浏览..."), frame);
    frameLayout->addWidget(browse);
    layout->addWidget(frame);
    return browse;
}

// The lines a list of names shows, for the dialogs' previews.
inline QStringList ItemTexts(const QListWidget& list)
{
    QStringList lines;
    for (int i = 0; i < list.count(); ++i)
        lines.push_back(list.item(i)->text());
    return lines;
}

}  // namespace tamsel
