#pragma once

#include "gui/OffscreenContext.h"

#include <functional>
#include <memory>
#include <string>

// An off-screen surface to draw on and read back, in the screen's format, on whichever
// backend the build uses.
class Canvas
{
public:
    Canvas(int newWidth, int newHeight, const GuiColor& background)
        : context(std::make_unique<OffscreenContext>(nullptr, newWidth, newHeight, background))
        , width(newWidth)
        , height(newHeight)
    {
    }

    OffscreenContext& ctx() { return *context; }
    GuiColor at(int x, int y) { return context->getPoint(GuiPoint(x, y)); }

    // Smallest rectangle (inclusive corners) of pixels that differ from `background`;
    // left > right when there are none.
    GuiRect extentOfNot(const GuiColor& background)
    {
        GuiRect r(width, height, -1, -1);
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                if (at(x, y) != background)
                {
                    r.left = x < r.left ? x : r.left;
                    r.top = y < r.top ? y : r.top;
                    r.right = x > r.right ? x : r.right;
                    r.bottom = y > r.bottom ? y : r.bottom;
                }
            }
        }
        return r;
    }

    // Empty when every pixel matches expected(x, y); else the first few differences.
    std::string differences(const std::function<GuiColor(int, int)>& expected)
    {
        std::string text;
        int count = 0;
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                const GuiColor got = at(x, y);
                const GuiColor want = expected(x, y);
                if (got != want && ++count <= 8)
                {
                    text += "(" + std::to_string(x) + "," + std::to_string(y) + ") got " + describe(got) +
                            " want " + describe(want) + "\n";
                }
            }
        }
        if (count > 8)
        {
            text += std::to_string(count) + " pixels differ\n";
        }
        return text;
    }

    static std::string describe(const GuiColor& c)
    {
        return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
    }

    int getWidth() const { return width; }
    int getHeight() const { return height; }

private:
    std::unique_ptr<OffscreenContext> context;
    int width;
    int height;
};
