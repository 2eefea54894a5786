#pragma once

#include "view/GridShapes.h"

class QPainter;
class TOrbitPoints;
struct TGrid;

// Draws overlay shapes with a solid 1-pixel pen of each shape's colour; ellipses unfilled.
void DrawOverlayShapes(QPainter& painter, const OverlayShapes& shapes);
// The orbit points and the grid of a view over a client area of width x height pixels.
void DrawOrbitPoints(QPainter& painter, const TOrbitPoints& points, const PlaneRect& plane,
                     int width, int height);
void DrawGrid(QPainter& painter, const TGrid& grid, const PlaneRect& plane, int width, int height);
