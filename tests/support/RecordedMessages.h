#pragma once

#include <vector>

#include "app/MessageService.h"

// Keeps every message the program shows, for tests to read.
class RecordedMessages : public MessageService {
  public:
    struct Message {
        QString Text;
        MessageIcon Icon;
    };
    void Show(const QString& text, MessageIcon icon) override { messages.push_back({text, icon}); }
    std::vector<Message> messages;
};
