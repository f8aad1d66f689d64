// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStatusBar>
#include <array>
#include <functional>

class QLabel;

// The main window's status bar: six parts with right edges at 150, 300, 400, 800 and 860
// pixels, the last running to the right edge. The first part (0) shows progress and state,
// part 1 the number of orbit classes, part 2 the number of stars; parts 3 to 5 stay empty.
class StatusBar : public QStatusBar {
    Q_OBJECT
  public:
    static constexpr int kParts = 6;
    static constexpr std::array<int, kParts - 1> kRightEdges = {150, 300, 400, 800, 860};

    explicit StatusBar(QWidget* parent = nullptr);

    // Also prints every text written from now on to standard error, as
    // "status PART +MILLISECONDS TEXT" with the milliseconds since start-up.
    void EchoToStandardError(bool echo) { echo_ = echo; }
    // Also tells `observer` of every text written from now on (part, text).
    void SetObserver(std::function<void(int part, const QString& text)> observer) {
        observer_ = std::move(observer);
    }

    // Writes `text` into `part`, and into its tooltip, which shows it whole where the part is
    // too narrow; an index outside 0-5 is ignored.
    void SetText(int part, const QString& text);
    QString Text(int part) const;
    // The part's rectangle in the status bar's coordinates (for tests and tooltips).
    QRect PartRect(int part) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* strip_ = nullptr;
    std::array<QLabel*, kParts> parts_{};
    bool echo_ = false;
    std::function<void(int, const QString&)> observer_;
};

// Milliseconds on a monotonic clock since the clock was first read (main reads it first thing).
qint64 MillisecondsSinceStartup();
