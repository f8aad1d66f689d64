// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>
#include <vector>

#include "export/SaveChartImage.h"

class MessageService;

// nivra export: writes chart images exactly as the Save and Export menu commands do after the
// star (and year) was chosen in the window, without a display.

extern const char kExportUsage[];

struct ExportRequest {
    QString Folder;  // the program folder
    SpkId Star = 0;
    int Year = 0;  // the year chosen in the toolbar, 1901-2019; 0 for "(All years)" (or 1900)
    std::vector<ChartLook> Looks = {ChartLook::Save, ChartLook::Export};
    std::vector<ChartKind> Kinds = {kAllChartKinds.begin(), kAllChartKinds.end()};
    std::vector<CoordinateFrame> Frames = {kAllFrames.begin(), kAllFrames.end()};
    ChartFileFormat Format = ChartFileFormat::Jpeg;
};

// The request of the arguments after "export", or nothing with `error` saying what is wrong.
// Looks, kinds and frames come out in menu order whatever order they are named in.
std::optional<ExportRequest> ParseExportRequest(const QStringList& arguments, QString& error);

// Starts up on the folder, loads the star, runs chart preparation's View, Travel and Years plots
// so that the PlotExtents are those a star choice leaves, then runs the chosen Save and Export
// commands in menu order (Save before Export; kinds and frames as in the menus). Prints
// "PATH<TAB>MESSAGE" on `out` for each command; other messages go to `errors`. Returns 0 when
// every file was written, 1 otherwise, or start-up's exit code.
int RunExport(const ExportRequest& request, const ChartRender& render, std::FILE* out,
              MessageService& errors);

// The subcommand: parses, runs with the program's renders, prints the usage and returns 2 on a bad
// command line.
int RunExportCommand(const QStringList& arguments);
