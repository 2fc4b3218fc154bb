#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QToolButton>
#include <QWidget>

namespace kestrel_test {

// Every text a window shows, measured against the room its widget gives it.
// Run offscreen by the suite, and by scripts/screenshot under Xvfb at 100 %
// and 200 %, which also sets KESTREL_GRAB_DIR to keep pictures of both windows.
inline void expectNothingClipped(QWidget& window) {
    const auto name = [](QWidget* w) {
        return (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                          : w->objectName())
            .toStdString();
    };
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&window) || label->wordWrap() || label->text().isEmpty() ||
            label->textFormat() == Qt::RichText)
            continue;
        // A mnemonic's "&" is not drawn; it underlines the letter after it.
        const QString shown =
            label->buddy()
                ? QString(label->text()).remove(QRegularExpression(QStringLiteral("&(?!&)")))
                : label->text();
        EXPECT_LE(label->fontMetrics().horizontalAdvance(shown), label->contentsRect().width())
            << name(label) << " \"" << label->text().toStdString() << "\"";
    }
    for (QLineEdit* box : window.findChildren<QLineEdit*>()) {
        if (!box->isVisibleTo(&window) || qobject_cast<QComboBox*>(box->parentWidget()))
            continue;
        const int frame =
            box->hasFrame() ? 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), box->width() - frame - 4)
            << name(box) << " \"" << box->text().toStdString() << "\"";
    }
    for (QComboBox* combo : window.findChildren<QComboBox*>()) {
        if (!combo->isVisibleTo(&window) || !combo->lineEdit())
            continue;
        EXPECT_LE(combo->fontMetrics().horizontalAdvance(combo->currentText()),
                  combo->lineEdit()->width() - 4)
            << name(combo) << " \"" << combo->currentText().toStdString() << "\"";
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window) || button->text().isEmpty())
            continue;
        // A picture button shows its picture only; its action's text is in the menu.
        auto* tool = qobject_cast<QToolButton*>(button);
        if (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull())
            continue;
        QString text = button->text();
        text.remove(QLatin1Char('&'));
        EXPECT_LE(button->fontMetrics().horizontalAdvance(text), button->width())
            << name(button) << " \"" << text.toStdString() << "\"";
    }
}

}  // namespace kestrel_test
