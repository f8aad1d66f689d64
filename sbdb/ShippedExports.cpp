// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sbdb/ShippedExports.h"

#include <QtGlobal>

#include "ephemeris/BuiltinData.h"

static void RegisterShippedExports() {
    Q_INIT_RESOURCE(shipped_exports);
}

std::string ReadShippedExport(const char* name) {
    static const bool registered = (RegisterShippedExports(), true);
    (void)registered;
    return ReadBuiltinData(name);  // the same resource folder as the engine's tables
}
