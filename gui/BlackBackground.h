#pragma once

class QWidget;

// Gives `widget` a black background, as every page and chart window of the program has it.
void UseBlackBackground(QWidget* widget);
