// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/StarComputation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr const char* kToolPrefix = "nivra-data: ";

QString Path(const std::string& bytes) {
    return QFile::decodeName(bytes.c_str());
}

// A path as a POSIX shell takes it: quoted when it holds anything but plain characters.
QString ShellWord(const QString& word) {
    static const QRegularExpression plain("^[A-Za-z0-9_./+-]+$");
    if (plain.match(word).hasMatch())
        return word;
    QString quoted = word;
    quoted.replace("'", "'\\''");
    return "'" + quoted + "'";
}

// The folder a file is replaced in: where a link leads, when the path is one.
QString FolderOfFile(const QString& path) {
    const QFileInfo file(path);
    const QString target = file.isSymLink() ? file.symLinkTarget() : file.absoluteFilePath();
    return QFileInfo(target).absolutePath();
}

}  // namespace

QString StarComputation::DefaultDataTool() {
#ifdef Q_OS_WIN
    return QDir(QCoreApplication::applicationDirPath()).filePath("nivra-data.exe");
#else
    return QDir(QCoreApplication::applicationDirPath()).filePath("nivra-data");
#endif
}

QString StarComputation::Obstacle(const QString& dataTool, const std::string& cataloguePath,
                                  const std::string& datasFolder) {
    const QFileInfo tool(dataTool);
    if (!tool.exists())
        return QString("nivra-data is not installed beside the viewer (%1)").arg(dataTool);
    if (!tool.isFile() || !tool.isExecutable())
        return QString("%1 cannot be run").arg(dataTool);
    // The marks replace the catalogue in its folder, beside its lock file.
    const QString catalogueFolder = FolderOfFile(Path(cataloguePath));
    if (!QFileInfo(catalogueFolder).isWritable())
        return QString("the folder %1 is read-only").arg(catalogueFolder);
    const QFileInfo datas(Path(datasFolder));
    if (datas.exists() && (!datas.isDir() || !datas.isWritable()))
        return QString("the folder %1 is read-only").arg(datas.absoluteFilePath());
    if (!datas.exists() && !QFileInfo(datas.absolutePath()).isWritable())
        return QString("the folder %1 is read-only").arg(datas.absolutePath());
    return {};
}

QString StarComputation::CommandText(const std::string& cataloguePath,
                                     const std::string& datasFolder, SpkId id) {
    return QString("nivra-data ephemeris --catalogue %1 --out %2 --spk %3")
        .arg(ShellWord(Path(cataloguePath)), ShellWord(Path(datasFolder)))
        .arg(id);
}

StarComputation::StarComputation(QObject* parent) : QObject(parent) {}

StarComputation::~StarComputation() {
    if (process_ != nullptr) {
        // The tool stopped at any moment leaves complete files and a consistent catalogue.
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished();
    }
}

bool StarComputation::Start(const QString& dataTool, const std::string& cataloguePath,
                            const std::string& datasFolder, SpkId id, const QString& name) {
    if (process_ != nullptr)
        return false;
    id_ = id;
    name_ = name;
    lastProblem_.clear();
    records_ = 0;
    pending_[0].clear();
    pending_[1].clear();
    process_ = new QProcess(this);
    process_->setProgram(dataTool);
    process_->setArguments({"ephemeris", "--catalogue", Path(cataloguePath), "--out",
                            Path(datasFolder), "--spk", QString::number(id)});
    connect(process_, &QProcess::readyReadStandardOutput, this,
            [this] { ReadLines(QProcess::StandardOutput); });
    connect(process_, &QProcess::readyReadStandardError, this,
            [this] { ReadLines(QProcess::StandardError); });
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            End({Outcome::Result::NotStarted,
                 QString("nivra-data could not be started: %1").arg(process_->errorString()), 0});
        }
    });
    connect(process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        ReadLines(QProcess::StandardOutput);
        ReadLines(QProcess::StandardError);
        if (status == QProcess::CrashExit) {
            End({Outcome::Result::NotComputed,
                 QString("nivra-data stopped: %1").arg(process_->errorString()), 0});
        } else if (exitCode == 0) {
            End({Outcome::Result::Computed, {}, records_});
        } else {
            End({Outcome::Result::NotComputed,
                 lastProblem_.isEmpty()
                     ? QString("nivra-data ended with exit code %1").arg(exitCode)
                     : lastProblem_,
                 0});
        }
    });
    emit Progress(QString("Computing the ephemeris of %1...").arg(name_));
    process_->start();
    return true;
}

void StarComputation::ReadLines(QProcess::ProcessChannel channel) {
    if (process_ == nullptr)
        return;
    process_->setReadChannel(channel);
    QByteArray& pending = pending_[channel == QProcess::StandardOutput ? 0 : 1];
    pending += process_->readAll();
    qsizetype end = 0;
    while ((end = pending.indexOf('\n')) >= 0) {
        QString line = QString::fromLocal8Bit(pending.left(end)).trimmed();
        pending.remove(0, end + 1);
        if (line.isEmpty())
            continue;
        if (line.startsWith(kToolPrefix))
            line.remove(0, static_cast<qsizetype>(std::char_traits<char>::length(kToolPrefix)));
        if (channel == QProcess::StandardError) {
            if (line.startsWith("waiting for PID"))
                emit Progress(QString("%1: %2").arg(name_, line));
            else
                lastProblem_ = line;
            continue;
        }
        // "2099942 Apophis: 7305 records" as the star is written, then "1 file, 7305 records in
        // 0.01 s (...)" at the end.
        static const QRegularExpression written("^\\d+ .*: (\\d+) records$");
        static const QRegularExpression summary("(\\d+) records in ");
        if (const QRegularExpressionMatch match = written.match(line); match.hasMatch()) {
            emit Progress(QString("%1: %2 records written, marking it in the catalogue...")
                              .arg(name_, match.captured(1)));
        } else if (const QRegularExpressionMatch total = summary.match(line); total.hasMatch()) {
            records_ = total.captured(1).toLong();
        }
    }
}

void StarComputation::End(const Outcome& outcome) {
    QProcess* process = process_;
    process_ = nullptr;
    process->disconnect(this);
    process->deleteLater();
    emit Finished(id_, outcome);
}
