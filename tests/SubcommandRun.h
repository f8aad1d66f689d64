#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The outcome of running the built nivra program.
struct SubcommandRun {
    int ExitCode = -1;
    QByteArray Out;  // standard output, as bytes
    QString Err;
};

// Runs nivra with `arguments` and no display of any kind: no X server, no Wayland, no Qt
// platform chosen, as a script on a headless machine would.
inline SubcommandRun RunNivraWithoutDisplay(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(name);
    }
    process.setProcessEnvironment(environment);
    process.start(NIVRA_EXECUTABLE, arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}
