// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/BuiltinData.h"

#include <QFile>
#include <QString>

static void RegisterBuiltinData() {
    Q_INIT_RESOURCE(constellations);
}

std::string ReadBuiltinData(const char* name) {
    static const bool registered = (RegisterBuiltinData(), true);
    (void)registered;
    QFile file(QString(":/nivra-data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}
