// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gui/Launcher.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>

#include "data/ProgramFolderContents.h"

LauncherCommandLine ParseLauncherArguments(const QStringList& arguments) {
    LauncherCommandLine line;
    const auto fail = [&](const QString& error) {
        line.Action = LauncherCommandLine::Mode::Error;
        line.Error = error;
        return line;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            line.Action = LauncherCommandLine::Mode::Help;
            return line;
        }
        if (argument == "--version") {
            line.Action = LauncherCommandLine::Mode::Version;
            return line;
        }
        if (argument == "--folder" || argument.startsWith("--folder=")) {
            if (line.Folder)
                return fail("--folder is given twice");
            const bool joined = argument.startsWith("--folder=");
            // The next argument is the folder unless it is an option ("--folder --star 1").
            if (!joined && (i + 1 == arguments.size() || arguments[i + 1].startsWith("-")))
                return fail("--folder needs a folder");
            const QString folder = joined ? argument.mid(9) : arguments[++i];
            if (folder.isEmpty())
                return fail("--folder needs a folder");
            line.Folder = folder;
        } else if (argument == "--prepare-only") {
            if (line.PrepareOnly)
                return fail("--prepare-only is given twice");
            line.PrepareOnly = true;
        } else {
            return fail(argument.startsWith("-")
                            ? "unknown option \"" + argument + "\""
                            : "unexpected argument \"" + argument + "\"");
        }
    }
    return line;
}

FirstStart DecideFirstStart(const QString& folder) {
    const ProgramFolderContents found = LookAtProgramFolder(QFile::encodeName(folder).toStdString());
    FirstStart start;
    if (found.SampleUnfinished) {
        start.What = FirstStart::Step::MakeSample;  // a first start stopped half-way
    } else if (found.DanglingCatalogueLink) {
        start.What = FirstStart::Step::CannotOpen;
        start.Said = QString("%1/Nivra.db leads to %2, which is not there (a disk that is not "
                             "mounted?). Nothing was made or changed; Nivra opens once the "
                             "catalogue is back.")
                         .arg(folder, QFileInfo(folder + "/Nivra.db").symLinkTarget());
    } else if (found.Catalogue) {
        start.What = FirstStart::Step::OpenViewer;
    } else if (found.HoldsAnything()) {
        start.What = FirstStart::Step::LeaveAsItIs;
        start.Said = QString("%1 holds %2 but no catalogue: Nivra did not make its sample sky "
                             "there, so nothing of yours is replaced. The viewer opens on the "
                             "folder as it is.")
                         .arg(folder, QString::fromStdString(found.Description()));
    } else {
        start.What = FirstStart::Step::MakeSample;
    }
    return start;
}

bool PrepareSampleFolder(const QString& nivraData, const QString& folder, bool window,
                         QString& error) {
    QProcess sample;
    if (!window)
        sample.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    std::optional<QProgressDialog> progress;
    QEventLoop loop;
    if (window) {
        progress.emplace(
            QString("Nivra is preparing its sample sky in %1:\n"
                    "the catalogue of 3,808 numbered asteroids and the tracks of 40 of them\n"
                    "from 2000 to 2019. This takes a few seconds, once.")
                .arg(folder),
            "Cancel", 0, 0);
        progress->setWindowTitle("Nivra - Tarnlight");
        progress->setMinimumDuration(0);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
        progress->show();
        QObject::connect(&*progress, &QProgressDialog::canceled, &loop, [&] {
            sample.kill();
            loop.quit();
        });
    }
    QObject::connect(&sample, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&sample, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError what) {
        if (what == QProcess::FailedToStart)
            loop.quit();
    });
    sample.start(nivraData, {"sample", folder});
    loop.exec();
    sample.waitForFinished(5000);
    if (progress && progress->wasCanceled()) {
        error = "The sample was not made: cancelled.";
        return false;
    }
    if (sample.error() == QProcess::FailedToStart) {
        error = QString("Cannot start %1: %2").arg(nivraData, sample.errorString());
        return false;
    }
    // 3: made, with bodies of the exports left out for their data.
    if (sample.exitStatus() != QProcess::NormalExit ||
        (sample.exitCode() != 0 && sample.exitCode() != 3)) {
        error = QString("The sample could not be made in %1:\n%2")
                    .arg(folder, QString::fromLocal8Bit(sample.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}
