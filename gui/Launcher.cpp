#include "gui/Launcher.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>

bool NeedsSample(const QString& folder) {
    // The viewer started on a folder without a catalogue leaves an empty one there.
    const QFileInfo catalogue(folder + "/Nivra.db");
    return !catalogue.exists() || (catalogue.isFile() && catalogue.size() == 0);
}

bool PrepareSampleFolder(const QString& nivraData, const QString& folder, QString& error) {
    QProgressDialog window(
        QString("Nivra is preparing its sample sky in %1:\n"
                "the catalogue of 3,808 numbered asteroids and the tracks of 40 of them\n"
                "from 2000 to 2019. This takes a few seconds, once.")
            .arg(folder),
        "Cancel", 0, 0);
    window.setWindowTitle("Nivra - Tarnlight");
    window.setMinimumDuration(0);
    window.setAutoClose(false);
    window.setAutoReset(false);
    window.show();

    QProcess sample;
    QEventLoop loop;
    QObject::connect(&sample, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&sample, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError what) {
        if (what == QProcess::FailedToStart)
            loop.quit();
    });
    QObject::connect(&window, &QProgressDialog::canceled, &loop, [&] {
        sample.kill();
        loop.quit();
    });
    sample.start(nivraData, {"sample", folder});
    loop.exec();
    sample.waitForFinished(5000);
    if (window.wasCanceled()) {
        error = "The sample was not made: cancelled.";
        return false;
    }
    if (sample.error() == QProcess::FailedToStart) {
        error = QString("Cannot start %1: %2").arg(nivraData, sample.errorString());
        return false;
    }
    // 3: made, with bodies of the exports left out (the comets without an SPK-ID).
    if (sample.exitStatus() != QProcess::NormalExit ||
        (sample.exitCode() != 0 && sample.exitCode() != 3)) {
        error = QString("The sample could not be made in %1:\n%2")
                    .arg(folder, QString::fromLocal8Bit(sample.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}
