#pragma once

#include <QString>
#include <vector>

// The caption of every message the program shows.
inline constexpr const char* kMessageCaption = "Nivra says";

enum class MessageIcon { Error, Information };

// Where the program's messages go: a modal box in the viewer, a line on standard error on the
// command line, a recorder in tests.
class MessageService {
  public:
    virtual ~MessageService() = default;
    virtual void Show(const QString& text, MessageIcon icon) = 0;
};

// Writes "Nivra says: <text>" on standard error.
class StandardErrorMessages : public MessageService {
  public:
    void Show(const QString& text, MessageIcon icon) override;
};

// Keeps the messages shown to it, for a caller that passes them on later (a paint cannot show a
// modal box while it runs).
class HeldMessages : public MessageService {
  public:
    struct Message {
        QString Text;
        MessageIcon Icon;
    };
    void Show(const QString& text, MessageIcon icon) override { held.push_back({text, icon}); }
    std::vector<Message> held;
};
