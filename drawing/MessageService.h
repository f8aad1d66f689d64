// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
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
    // A message without an owner window.
    virtual void Show(const QString& text, MessageIcon icon) = 0;
    // A message owned by the window `owner` (null: none): the viewer's box is modal to it and
    // stands in front of it. A service without windows shows it as any other.
    virtual void ShowOver(const QString& text, MessageIcon icon, QObject* owner) {
        (void)owner;
        Show(text, icon);
    }
    // Asks `question` with the answers Yes and No, in a box owned by the window `owner` (null:
    // none); true for Yes. A service without windows asks nobody and answers No.
    virtual bool Ask(const QString& question, QObject* owner) {
        (void)question;
        (void)owner;
        return false;
    }
};

// Passes every message on to another service, owned by one window.
class OwnedMessages : public MessageService {
  public:
    OwnedMessages(MessageService& to, QObject* owner) : to_(to), owner_(owner) {}
    void Show(const QString& text, MessageIcon icon) override { to_.ShowOver(text, icon, owner_); }
    void ShowOver(const QString& text, MessageIcon icon, QObject* owner) override {
        to_.ShowOver(text, icon, owner);
    }
    bool Ask(const QString& question, QObject* owner) override {
        return to_.Ask(question, owner != nullptr ? owner : owner_);
    }

  private:
    MessageService& to_;
    QObject* owner_;
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
        QPointer<QObject> Owner;  // null: no owner
    };
    void Show(const QString& text, MessageIcon icon) override {
        held.push_back({text, icon, nullptr});
    }
    void ShowOver(const QString& text, MessageIcon icon, QObject* owner) override {
        held.push_back({text, icon, owner});
    }
    std::vector<Message> held;
};
