// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

// Gives `widget` a black background, as every page and chart window of the program has it.
void UseBlackBackground(QWidget* widget);
