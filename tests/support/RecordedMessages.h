// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "drawing/MessageService.h"

// Keeps every message the program shows, for tests to read as `messages`, and every question
// it asks, as `questions`, each answered with `answer`.
class RecordedMessages : public HeldMessages {
  public:
    std::vector<Message>& messages = held;
    std::vector<QString> questions;
    bool answer = false;

    bool Ask(const QString& question, QObject*) override {
        questions.push_back(question);
        return answer;
    }
};
