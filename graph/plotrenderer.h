#pragma once

#include <QString>

class ProjectModel;
struct PlotLayout;
class QGraphicsScene;
struct GraphSettings;

// Item data of the texts the user may move: key 0 holds the role, key 1 the
// index of a free label in the settings.
namespace graphitems {
constexpr int roleKey = 0;
constexpr int labelIndexKey = 1;
inline const QString titleRole = QStringLiteral("title");
inline const QString xLabelRole = QStringLiteral("xLabel");
inline const QString yLabelRole = QStringLiteral("yLabel");
inline const QString labelRole = QStringLiteral("label");
inline const QString legendRole = QStringLiteral("legend");
// Where the layout placed a text that follows it (absent once the user moved it).
constexpr int layoutPosKey = 2;
} // namespace graphitems

// Takes what the user changed on the scene's texts into the settings:
// positions and fonts of title and axis labels, and position, font, colour and
// rotation (whole degrees) of every free label whose index still exists.
void readBackTextItems(const QGraphicsScene &scene, GraphSettings &settings);

// Clears the scene and draws the regenerated graph of the model: background,
// blueprint, grid, frame, tick values, curves and texts, or only the
// invalid-axes message. The scene takes the output size; on the first drawing
// the texts get their default places in the settings.
void drawGraph(QGraphicsScene &scene, const ProjectModel &model, GraphSettings &settings);

// Where drawGraph puts everything for this model and these settings.
PlotLayout graphLayout(const ProjectModel &model, const GraphSettings &settings);
