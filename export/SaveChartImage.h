// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "charts/ChartContext.h"
#include "charts/RenderContract.h"
#include "drawing/Imaging.h"
#include "export/ChartCommands.h"

class Catalogue;

// Save and Export of the twenty charts: the chart is rendered anew for the current star with
// the command's colours (Save white on black, Export black on white) and written into the Images
// folder under the command's file label.

// The colours of a command family: Save black background and white text, Export the reverse.
ChartColours SaveColours(ChartLook look);

enum class ChartFileFormat {
    Jpeg,  // "%s/%s.jpg", quality 100, progressive, optimised Huffman tables (the menu commands)
    Png,   // "%s/%s.png", the same pixels without loss (nivra export --format png)
};

// The file a command writes: the Images folder, a slash, the file label and the extension.
std::string ChartImagePath(const std::string& imagesFolder, const std::string& fileLabel,
                           ChartFileFormat format = ChartFileFormat::Jpeg);

// What a Save or Export command reads besides the command itself.
struct SaveContext {
    // The fonts, the toolbar's read-outs, the loaded star and its Cursor (nothing is saved
    // without one), the run's shared extents as chart preparation left them, the main window's
    // client area, and where the render's failure message and the command's message go.
    ChartContext Chart;
    const Catalogue* Database = nullptr;  // PerihelionQuery for the Perihelion charts
    std::string ImagesFolder;
    Imaging::SaveParams SaveParams = Imaging::ChartImageSaveParams();
    ChartFileFormat Format = ChartFileFormat::Jpeg;
    // Whether the command's message ("File successfully saved" or "Cannot save this file",
    // caption "Nivra says") is shown; nivra export prints it on the file's line instead.
    bool ShowOutcome = true;
};

// The render a command calls: the charts' own RenderChart (ProgramChartRender); tests may hand in
// another. `passage` is read by the Perihelion chart only.
using ChartRender = std::function<std::optional<QImage>(ChartKind kind, const RenderInputs& inputs,
                                                        const PerihelionPassage& passage)>;
ChartRender ProgramChartRender();

// The messages of a command, shown with the information icon.
inline constexpr const char* kSavedMessage = "File successfully saved";
inline constexpr const char* kNotSavedMessage = "Cannot save this file";

struct SaveOutcome {
    enum class Status {
        NothingToSave,  // no star loaded, no Perihelion row, or the render gave nothing
        Saved,
        NotSaved,  // the file could not be written; an earlier file of that name is left intact
    };
    Status Result = Status::NothingToSave;
    std::string Path;  // the file written, or that could not be written
};

// The command's message for an outcome: kSavedMessage, kNotSavedMessage, or null when nothing
// was to be saved (no message is shown then).
const char* SaveOutcomeMessage(SaveOutcome::Status status);

// Runs a Save or Export menu command: renders the chart of the command's kind from the FramePoint
// of its frame in the record at the Cursor (the Perihelion chart with the passage time and period
// of PerihelionQuery), then writes it and shows the command's message. Without a star, without a
// Perihelion row for the star, or when the render gives nothing, nothing is written and no
// message is shown by this command.
SaveOutcome SaveChartImage(const ChartCommand& command, const SaveContext& context,
                           const ChartRender& render = ProgramChartRender());
