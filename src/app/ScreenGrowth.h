#pragma once
// Screens that show data (a sheet, a grid, lists) grow with their frame; entry screens keep
// their designed size. A growing screen cannot become smaller than its design.
#include <vector>

class QMdiSubWindow;
class QWidget;

namespace orvane {

// Call at the end of the screen's constructor, once its designed size is set. The extra
// width and height of the screen go to `data`; the widgets `below` it (filter row, button
// panel) move down by the extra height and keep their arrangement; the widgets `across`
// (a centred title) widen with the screen.
void GrowWithWindow(QWidget* screen, QWidget* data, std::vector<QWidget*> below,
                    std::vector<QWidget*> across = {});

// A list with its label above it, in a table of lists that share the screen's space.
struct GridCell {
    QWidget* label;
    QWidget* data;
    int column;
    int row;
};
// Each column gets an equal share of the extra width, each row of the extra height; a
// label widens with its list and moves with it.
void GrowAsGrid(QWidget* screen, std::vector<GridCell> cells, int columns, int rows);

// True for a screen that one of the above made growable.
bool GrowsWithWindow(const QWidget* screen);

// Sizes a new frame to its screen: a growing screen's frame may be resized (not below the
// design) and maximised by a double-click on its title bar; maximised, it keeps a frame menu
// and Minimise, Restore and Close in the main window's menu bar. Any other frame stays fixed.
void FitFrameToScreen(QMdiSubWindow* frame);

} // namespace orvane
