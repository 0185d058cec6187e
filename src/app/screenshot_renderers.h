// The screenshot renderers of the screenshot tool: every table, edit dialog,
// help tab shape and constant form drawn offscreen into PNG files. Not part
// of the program itself.
#pragma once

#include <QString>

namespace quorvane::gui {

struct GuiContext;

// Renders the chooser, every table dialog, every edit dialog and one help tab
// of each shape into PNG files in `dir`.
void RenderTableScreenshots(GuiContext& ctx, const QString& dir);

// Renders each constant-group form into `dir`, named after its class.
void RenderFormScreenshots(GuiContext& ctx, const QString& dir);

}  // namespace quorvane::gui
