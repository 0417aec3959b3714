// Pictures of the real windows for a person to look at (in the build's screenshots/), and the
// checks that make each one a test: the window on view at its size, with no text cut off.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#ifndef TOVAN_SCREENSHOTS
#error "TOVAN_SCREENSHOTS names the folder the pictures go to"
#endif

namespace tovan::testing {

// A text as it is drawn: a single '&' marks the next letter as the shortcut and is not drawn,
// "&&" is drawn as one '&'.
inline QString WithoutMnemonics(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

// The texts of `window` that do not fit their widgets: labels on one line, buttons and check
// boxes, each as "objectName: text". Empty when every text is whole.
inline std::vector<std::string> ClippedTexts(QWidget& window) {
    std::vector<std::string> clipped;
    const auto note = [&clipped](const QWidget* w, const QString& text) {
        clipped.push_back((w->objectName().isEmpty() ? std::string(w->metaObject()->className())
                                                     : w->objectName().toStdString()) +
                          ": " + text.toStdString());
    };
    // Only what is on view: not what a maximised window in front hides.
    const auto onView = [&window](const QWidget* w) {
        if (!w->isVisibleTo(&window)) return false;
        for (const QWidget* up = w; up; up = up->parentWidget())
            if (auto* sub = qobject_cast<const QMdiSubWindow*>(up))
                return sub->mdiArea() == nullptr || sub->mdiArea()->activeSubWindow() == sub;
        return true;
    };
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!onView(label) || label->wordWrap() || label->text().contains('\n') ||
            label->textFormat() == Qt::RichText || label->text().startsWith('<'))
            continue;
        const QString shown = label->buddy() ? WithoutMnemonics(label->text()) : label->text();
        const int needed = label->fontMetrics().horizontalAdvance(shown);
        if (needed > label->contentsRect().width() + 1) note(label, label->text());
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!onView(button) || button->text().isEmpty()) continue;
        const QString text = WithoutMnemonics(button->text());
        if (button->fontMetrics().horizontalAdvance(text) > button->width() - 4)
            note(button, button->text());
    }
    return clipped;
}

// A picture of `window` for a person to look at (in the build's screenshots/), and what it
// must show: the window on view at its size, drawn, with no text cut off.
inline void SaveScreenshot(QWidget& window, const QString& name) {
    QApplication::processEvents();
    EXPECT_TRUE(window.isVisible()) << name.toStdString();
    const QPixmap picture = window.grab();
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), window.size()) << name.toStdString();
    const std::vector<std::string> clipped = ClippedTexts(window);
    std::string all;
    for (const std::string& text : clipped)
        all += text + "\n";
    EXPECT_TRUE(clipped.empty()) << name.toStdString() << ": texts cut off:\n" << all;
    QDir().mkpath(QStringLiteral(TOVAN_SCREENSHOTS));
    EXPECT_TRUE(picture.save(QStringLiteral(TOVAN_SCREENSHOTS "/") + name)) << name.toStdString();
}

} // namespace tovan::testing
