// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "drawing/MessageService.h"

// Messages of the viewer: a modal box with the caption "Nivra says" and no owner. On a display
// nobody can see (the offscreen and minimal platforms) a box would wait for ever, so there the
// message goes to standard error instead.
class MessageBoxes : public MessageService {
  public:
    void Show(const QString& text, MessageIcon icon) override;
    void ShowOver(const QString& text, MessageIcon icon, QObject* owner) override;
    // A box with Yes and No (Yes the default); where no box can be seen, the question goes to
    // standard error and the answer is No.
    bool Ask(const QString& question, QObject* owner) override;

  private:
    StandardErrorMessages fallback_;
};
