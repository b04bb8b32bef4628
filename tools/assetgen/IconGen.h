#pragma once
#include <string>

// The desktop's menu icons: the game's icon drawn at each size a desktop theme asks for,
// written as "<outDir>/icons/zorbit-volley-<size>.png" (outside Data/, so never packed).
// False, after printing why, when one cannot be written.
bool GenerateDesktopIcons(const std::string& outDir);
