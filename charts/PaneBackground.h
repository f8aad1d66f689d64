#pragma once

class QWidget;

// Gives `widget` a black background, as every chart window has it.
void PaintBlackBehind(QWidget* widget);
