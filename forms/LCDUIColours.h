// The build's colours of the high-level screens, 0x00RRGGBB; Display::getColor answers the same values.
#pragma once

constexpr int _LCDUI_COLOR_BACKGROUND = 0xCCCCCC;
constexpr int _LCDUI_COLOR_FOREGROUND = 0x000000;
constexpr int _LCDUI_COLOR_HIGHLIGHTED_BACKGROUND = 0x0000CC;
constexpr int _LCDUI_COLOR_HIGHLIGHTED_FOREGROUND = 0xFFFFFF;
constexpr int _LCDUI_COLOR_BORDER = 0x666666;
constexpr int _LCDUI_COLOR_HIGHLIGHTED_BORDER = 0x0000FF;
constexpr int _LCDUI_COLOR_FOREGROUND_INACTIVE = 0xAAAAAA;
