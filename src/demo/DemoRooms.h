// The rooms of the demo world: texts and exits. Shared by the world, which connects them, and
// MudStream, which shows them in random order.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zel::demo {

enum class Direction { North, East, South, West, Up, Down };
constexpr size_t kDirections = 6;

// "north" ...; "the south" ... for the side one arrives from when moving that way.
std::string_view DirectionName(Direction d);
std::string_view ArrivalSide(Direction d);

struct DemoRoom {
    static constexpr int kNoExit = -1;
    std::string_view title;
    std::string_view name;  // short, for the prompt
    std::vector<std::string_view> description;
    std::string_view inhabitant;
    std::array<int, kDirections> exits;  // room index by Direction, or kNoExit
};

const std::vector<DemoRoom>& DemoRooms();
// "north east down": the room's exits in Direction order.
std::string ExitNames(const DemoRoom& room);

}  // namespace zel::demo
