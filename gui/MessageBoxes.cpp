// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/MessageBoxes.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QWidget>

void MessageBoxes::Show(const QString& text, MessageIcon icon) {
    ShowOver(text, icon, nullptr);
}

void MessageBoxes::ShowOver(const QString& text, MessageIcon icon, QObject* owner) {
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") {
        fallback_.Show(text, icon);
        return;
    }
    QWidget* window = qobject_cast<QWidget*>(owner);
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    kMessageCaption, text, QMessageBox::Ok,
                    window != nullptr ? window->window() : nullptr);
    box.exec();
}

bool MessageBoxes::Ask(const QString& question, QObject* owner) {
    const QString platform = QGuiApplication::platformName();
    if (platform == "offscreen" || platform == "minimal") {
        fallback_.Show(question + " (no display to ask on: No)", MessageIcon::Information);
        return false;
    }
    QWidget* window = qobject_cast<QWidget*>(owner);
    QMessageBox box(QMessageBox::Question, kMessageCaption, question,
                    QMessageBox::Yes | QMessageBox::No,
                    window != nullptr ? window->window() : nullptr);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
