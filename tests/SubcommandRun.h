// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <map>
#include <optional>

// A path as a program's argument.
inline QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

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

// Runs `program` with `arguments`, its environment changed by `environment` (a value sets a
// variable, nothing removes it), for at most `seconds`.
inline SubcommandRun RunProgram(const char* program, const QStringList& arguments,
                                const std::map<QString, std::optional<QString>>& environment = {},
                                int seconds = 300) {
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment) {
        if (value)
            variables.insert(name, *value);
        else
            variables.remove(name);
    }
    process.setProcessEnvironment(variables);
    process.start(program, arguments);
    process.waitForFinished(seconds * 1000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromLocal8Bit(process.readAllStandardError())};
}
