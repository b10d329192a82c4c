// The colours of the picture, shared by the window and the SVG pictures.
#pragma once

struct Colour {
    float red, green, blue;
};

constexpr Colour kBackgroundColour{0.5f, 0.5f, 0.5f};
constexpr Colour kPointColour{1.0f, 1.0f, 1.0f};
constexpr Colour kMarkColour{1.0f, 0.0f, 1.0f};
constexpr Colour kStartColour{1.0f, 0.0f, 0.0f};
constexpr Colour kGoalColour{0.0f, 1.0f, 0.0f};
constexpr Colour kLinkColour{1.0f, 0.5f, 0.0f};
constexpr Colour kRouteColour{0.0f, 1.0f, 1.0f};
// The search view: unlike every colour above and the status line's yellow.
constexpr Colour kExpandedColour{0.2f, 0.3f, 1.0f};
constexpr Colour kWaitingColour{0.0f, 0.45f, 0.2f};
// The backward half of a bidirectional search, and where its halves met.
constexpr Colour kBackExpandedColour{0.75f, 0.2f, 0.55f};
constexpr Colour kBackWaitingColour{0.55f, 0.35f, 0.0f};
constexpr Colour kMeetingColour{0.5f, 0.0f, 0.0f};
constexpr Colour kReplayColour{0.0f, 0.0f, 0.0f}; // the vertex being expanded and the route to it
constexpr Colour kJumpColour{0.1f, 0.15f, 0.6f};     // Jump Point Search's jumps
constexpr Colour kLandmarkColour{1.0f, 0.85f, 0.0f}; // ALT's landmarks
constexpr Colour kPanelColour{1.0f, 1.0f, 1.0f};
constexpr float kPanelOpacity = 0.85f;
constexpr Colour kTextColour{0.0f, 0.0f, 0.0f};
// The status line: yellow on black, readable over any colour above.
constexpr Colour kStatusColour{1.0f, 1.0f, 0.0f};
constexpr Colour kStatusGround{0.0f, 0.0f, 0.0f};

// Sizes in pixels, as the window draws them.
constexpr float kPointSize = 3.0f;
constexpr float kSelectionSize = 5.0f;
constexpr float kSearchPointSize = 5.0f;
constexpr float kReplayVertexSize = 9.0f;
constexpr float kReplayLineWidth = 3.0f;

// Painted ground, by terrainShade (ui/brush.h): easier than plain (a pale
// green), then up to x2 (light tan), up to x5 (brown), heavier (dark
// blue-grey). Each a square this many pixels wide behind its vertex, so a
// painted lattice at scale 1 is tinted without gaps. Every channel times 255
// lies just above a whole number: drivers that truncate and drivers that
// round then give the same bytes, even within one frame.
constexpr Colour kTerrainColours[4] = {
    {0.62f, 0.75f, 0.55f},
    {0.82f, 0.71f, 0.55f},
    {0.55f, 0.37f, 0.205f},
    {0.26f, 0.31f, 0.39f},
};
constexpr float kTerrainSize = 15.0f;
constexpr float kLandmarkSize = 11.0f;
