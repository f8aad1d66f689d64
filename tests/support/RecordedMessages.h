#pragma once

#include "drawing/MessageService.h"

// Keeps every message the program shows, for tests to read as `messages`.
class RecordedMessages : public HeldMessages {
  public:
    std::vector<Message>& messages = held;
};
