// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <string>

#include "data/StarFile.h"

// The ephemeris file of one star, computed by the data tool: `nivra-data ephemeris --catalogue
// DB --out DATAS --spk N` writes the file (2000-2019, the tool's default years) and marks the
// star in the catalogue, through the lock every writer of the catalogue takes; the viewer itself
// writes no ephemeris file. The tool runs as a process of its own, so the window goes on
// answering while it works; what it says comes as progress texts, its end as an outcome.
class StarComputation : public QObject {
    Q_OBJECT
  public:
    struct Outcome {
        enum class Result {
            Computed,     // exit 0: the file is written and the star marked
            NotComputed,  // the tool ran and said why not (exit 1, 3 or 4, or it stopped)
            NotStarted,   // the tool could not be started
        };
        Result Result = Result::NotStarted;
        QString Why;       // for NotComputed and NotStarted: the tool's reason, in one line
        long Records = 0;  // for Computed: the records written
    };

    // Where the data tool is: `nivra-data` beside the viewer, as the launcher finds it.
    static QString DefaultDataTool();
    // What keeps the tool from computing a file for the folder (the tool is not there or cannot
    // be run; the catalogue's folder or the Datas folder cannot be written); empty when nothing
    // does.
    static QString Obstacle(const QString& dataTool, const std::string& cataloguePath,
                            const std::string& datasFolder);
    // The command that makes the file, as a user types it in a shell.
    static QString CommandText(const std::string& cataloguePath, const std::string& datasFolder,
                               SpkId id);

    explicit StarComputation(QObject* parent = nullptr);
    ~StarComputation() override;

    // Starts the tool for star `id`, called `name` in the progress texts; false when a
    // computation is running already.
    bool Start(const QString& dataTool, const std::string& cataloguePath,
               const std::string& datasFolder, SpkId id, const QString& name);
    bool Running() const { return process_ != nullptr; }
    SpkId Star() const { return id_; }
    QString StarName() const { return name_; }

  signals:
    void Progress(const QString& text);
    // Once per Start, also when the tool could not be started.
    void Finished(SpkId id, const StarComputation::Outcome& outcome);

  private:
    void ReadLines(QProcess::ProcessChannel channel);
    void End(const Outcome& outcome);

    QProcess* process_ = nullptr;
    SpkId id_ = 0;
    QString name_;
    QString lastProblem_;  // the last line on standard error that is no waiting notice
    long records_ = 0;
    QByteArray pending_[2];  // an unfinished line of standard output, of standard error
};
