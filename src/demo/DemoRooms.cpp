// The demo world's rooms. Exits come in pairs: going back the opposite way returns.
#include "demo/DemoRooms.h"

namespace zel::demo {
namespace {

constexpr int X = DemoRoom::kNoExit;
constexpr std::string_view kDirectionNames[kDirections] = {"north", "east", "south",
                                                           "west",  "up",   "down"};
constexpr std::string_view kArrivalSides[kDirections] = {"the south", "the west", "the north",
                                                         "the east",  "below",    "above"};

}  // namespace

std::string_view DirectionName(Direction d)
{
    return kDirectionNames[size_t(d)];
}

std::string_view ArrivalSide(Direction d)
{
    return kArrivalSides[size_t(d)];
}

const std::vector<DemoRoom>& DemoRooms()
{
    // exits: north, east, south, west, up, down
    static const std::vector<DemoRoom> rooms = {
        {"The Village Square of Bree-on-the-Hill",
         "Square",
         {"Cobbled lanes meet here around a dry stone well with a mossy roof. Carts",
          "rattle past on their way to the market, and the smell of fresh bread drifts",
          "over from the bakery on the eastern side of the square."},
         "A town crier in a red coat rings his brass bell; Zo\u00eb sells cr\u00eapes.",
         {1, 5, 2, X, X, X}},
        {"The Common Room of the Sleeping Dragon Inn",
         "Inn",
         {"Low beams, blackened by a hundred winters of pipe smoke, hang above long",
          "tables crowded with travellers. A fire roars in a wide stone hearth."},
         "A plump innkeeper polishes a mug behind the long oak bar.",
         {X, X, 0, X, X, 4}},
        {"An Old Stone Bridge over the Brandywine",
         "Bridge",
         {"The bridge arches high over the slow brown river. Its parapet is worn smooth",
          "by the hands of countless travellers who paused here to watch the water."},
         "The old ferryman leans on the parapet, watching the water below.",
         {0, X, 3, X, X, X}},
        {"Edge of the Old Forest, under Dark Branches",
         "Forest",
         {"Grey trunks crowd together and the path fades among roots and ferns. Now",
          "and then a branch creaks overhead, although there is no wind at all here.",
          "Something moves in the undergrowth, just out of sight to the west."},
         "A grey wolf watches you from between the trees, growling softly.",
         {2, X, X, X, X, X}},
        {"A Damp Cellar beneath the Sleeping Dragon Inn",
         "Cellar",
         {"Barrels of ale and crates of turnips are stacked against the stone walls.",
          "Water drips from the low ceiling into black pools on the uneven floor."},
         "A giant rat scurries between the barrels, squeaking angrily.",
         {X, X, X, X, 1, X}},
        {"The Bustling Market Lane near the East Gate",
         "Market",
         {"Stalls of canvas and rough timber line both sides of the lane. Merchants",
          "call out their prices over the noise of haggling customers and braying mules."},
         "A merchant in a feathered hat loudly praises his bolts of silk.",
         {X, X, X, 0, X, X}},
    };
    return rooms;
}

std::string ExitNames(const DemoRoom& room)
{
    std::string names;
    for (size_t d = 0; d < kDirections; ++d) {
        if (room.exits[d] == DemoRoom::kNoExit) continue;
        if (!names.empty()) names += ' ';
        names += kDirectionNames[d];
    }
    return names;
}

}  // namespace zel::demo
