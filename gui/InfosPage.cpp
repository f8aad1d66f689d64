// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/InfosPage.h"

#include <QPainter>

#include "gui/BlackBackground.h"

InfosPage::InfosPage(QWidget* parent, const QString& configurationFolder)
    : QWidget(parent), background_(configurationFolder + "/Background.jpg") {
    UseBlackBackground(this);
}

void InfosPage::SetContent(QWidget* content) {
    content_ = content;
    content_->setParent(this);
    content_->setGeometry(kInset, kInset, std::max(0, width() - 2 * kInset),
                          std::max(0, height() - 2 * kInset));
    content_->show();
}

void InfosPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    background_.Paint(painter, rect());
}

void InfosPage::resizeEvent(QResizeEvent*) {
    if (content_ != nullptr) {
        content_->setGeometry(kInset, kInset, std::max(0, width() - 2 * kInset),
                              std::max(0, height() - 2 * kInset));
    }
}

void FilledPage::SetContent(QWidget* content) {
    content_ = content;
    content_->setParent(this);
    content_->setGeometry(rect());
    content_->show();
}

void FilledPage::resizeEvent(QResizeEvent*) {
    if (content_ != nullptr)
        content_->setGeometry(rect());
}
