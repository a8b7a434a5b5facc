#include "viewer/drawing/SvgStyle.h"

#include <cstdio>

namespace Viewer {

std::wstring cssColour(int bgr)
{
    const auto value = static_cast<unsigned>(bgr);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", value & 0xFFu, (value >> 8) & 0xFFu, (value >> 16) & 0xFFu);
    return std::wstring(buffer, buffer + 7);
}

std::wstring svgStyle(const Importer::ImportModel& model)
{
    std::wstring css =
        L"text{font-family:'Noto Sans CJK JP','Noto Sans JP','Hiragino Sans','Yu Gothic',Meiryo,sans-serif;fill:#222}"
        L".grid{stroke:#9bb;stroke-width:1px;stroke-dasharray:6 4;vector-effect:non-scaling-stroke}"
        L".room{fill:#EEEEEE;stroke:#999;stroke-width:1px;vector-effect:non-scaling-stroke}"
        L".exterior-line{fill:none;stroke:#000;stroke-width:3px;vector-effect:non-scaling-stroke}"
        L".wall{stroke:#444;stroke-width:20;stroke-linecap:square}"
        L".wall.kind-2,.wall.kind-3,.wall.kind-4{stroke:#888}"
        L".opening .gap{stroke:#fff;stroke-width:180}"
        L".opening .leaf{stroke:#555;stroke-width:50}"
        L".opening.window .leaf{stroke:#2a7bd4}"
        L".opening.door .leaf{stroke:#b5651d}"
        L".opening.passage .leaf{stroke:#999;stroke-dasharray:60 40}"
        L".stair-block{fill:#fff;fill-opacity:.7;stroke:#555;stroke-width:1.5px;vector-effect:non-scaling-stroke}"
        L".tread{stroke:#777;stroke-width:1px;vector-effect:non-scaling-stroke}"
        L".walk{fill:none;stroke:#c03;stroke-width:1.5px;vector-effect:non-scaling-stroke}"
        L".stair .arrowhead{fill:#c03}"
        L".roof-outline{fill:#8a5a2b;fill-opacity:.06;stroke:#8a5a2b;stroke-width:1.5px;stroke-dasharray:8 4;vector-effect:non-scaling-stroke}"
        L".roof-base{stroke:#8a5a2b;stroke-width:3px;vector-effect:non-scaling-stroke}"
        L".downhill{stroke:#8a5a2b;stroke-width:1.5px;vector-effect:non-scaling-stroke}"
        L".roof .arrowhead{fill:#8a5a2b}"
        L".room-name{text-anchor:middle;font-weight:bold}"
        L".room-area{text-anchor:middle;font-size:80%}"
        L".model-number{text-anchor:middle;font-size:70%;fill:#2a7bd4}"
        L".axis-name{text-anchor:middle;font-size:75%;fill:#577}"
        L".title{font-size:130%;font-weight:bold}"
        L".scale-bar .bar{stroke:#222;stroke-width:4px;vector-effect:non-scaling-stroke}"
        L".bar-length{font-size:80%}";
    for (const auto& [code, colour] : model.roomColourA) {
        css += L".room.kind-" + std::to_wstring(code) + L"{fill:" + cssColour(colour) + L"}";
    }
    return css;
}

}  // namespace Viewer
