// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QFont;
class QTableView;

// Gives a table view the look of the program's report lists: one line of text per row in
// `font`, grid lines, whole rows selected one at a time (the selection stays visible when the
// list loses the focus), no row header, nothing editable, rows of a fixed height (so a view over
// a large model never measures its rows).
void ConfigureReportView(QTableView& view, const QFont& font);
