// The design check: each row changes a good design and names the one message expected (or none).

#include "aircraft_fixture.h"

#include "core/globals.h"

#include <cstring>
#include <functional>
#include <iterator>

namespace {

// Each finding is named by one of its lines that tells it from every other (for a wing, the wing's name);
// null: the design passes.
const char* const PASSES = nullptr;
const char* const TAIL = "This plane has no tail number!";
const char* const VNE = "You entered a Vne of zero!";
const char* const EMPTY_WEIGHT = "You have entered an empty weight of zero!";
const char* const MAX_WEIGHT = "You have entered a maximum weight of zero!";
const char* const HEAVIER =
    "You have selected an empty weight that is greater than the maximum weight for this airplane!";
const char* const RUDDER = "You put a water rudder in front of the center of gravity!";
const char* const REVERSE = "This aircraft has reverse-thrust capability as decided in the ENGINES screen.";
const char* const THROTTLE = "Problem: The max THROTTLE available as decided in Hullwright is ZERO PERCENT! OOPS!";
const char* const ROCKET =
    "You requested a rocket engine in the ENGINES screen, but have entered an engine thrust of zero!";
const char* const JET = "You requested a jet engine in the ENGINES screen, but have entered an engine thrust of zero!";
const char* const POWER = "You requested a reciprocating or turbine engine in the ENGINES screen, but have entered an "
                          "engine power of zero!";
const char* const MANIFOLD = "You have entered a maximum manifold pressure in the ENGINES screen of 0!";
const char* const COMPRESSOR = "Do not enter zero as a compressor area for a jet engine!";
const char* const RPM = "You have entered zero for some of the engine RPM parameters in the ENGINES screen!";
const char* const IDLE = "You entered an idle rpm greater then the maximum engine rpm in the ENGINES screen!";
const char* const SAME_PITCH = "This design is either a helicopter or a plane with a variable-pitch prop.";
const char* const FIXED_PITCH =
    "This design has a fixed-pitch prop, but you entered different fine and coarse pitches in the props screen!";
const char* const TANKS = "Look at the WEIGHT AND BALANCE window. Then look at the RATIO of fuel in each fuel tank.";
const char* const CHORD = "right outer panel";
const char* const ROCKET_SFC = "You entered a Specific Fuel Consumption of ZERO for a rocket engine!";
const char* const JET_SFC = "You entered a Specific Fuel Consumption of ZERO for a jet engine!";
const char* const PROP_SFC = "You entered a Specific Fuel Consumption of ZERO for a recip or turboprop engine!";

void engine0(veh_class& v, int type)
{
    v.engn[0].engn_type = type;
}

// A change to the good design, and the finding it must give.
const std::pair<std::function<void(veh_class&)>, const char*> CASES[] = {
    {[](veh_class& v) { std::strcpy(v.design.tail_num, "   "); }, TAIL},
    {[](veh_class& v) { std::strcpy(v.design.tail_num, " N1"); }, PASSES},
    {[](veh_class& v) { v.design.vne = 0.0099f; }, VNE},
    {[](veh_class& v) { v.design.vne = 0.01f; }, PASSES},
    {[](veh_class& v) { v.design.weight_empty = 0; }, EMPTY_WEIGHT},
    {[](veh_class& v) { v.design.weight_max = 0; }, MAX_WEIGHT},
    {[](veh_class& v) { v.design.weight_empty = 1001; }, HEAVIER},
    {[](veh_class& v) { v.design.weight_empty = 1000; }, PASSES},
    {[](veh_class& v) { v.design.wrud_area = 1, v.design.wrud_arm = 1.9f; }, RUDDER},
    {[](veh_class& v) { v.design.wrud_area = 1, v.design.wrud_arm = 2; }, PASSES},
    {[](veh_class& v) { v.design.wrud_arm = -5; }, PASSES},
    {[](veh_class& v) { v.design.rev_on = 1, v.design.throt_rev_max = 0; }, REVERSE},
    {[](veh_class& v) { v.design.throt_max = 0.0009f; }, THROTTLE},
    {[](veh_class& v) { v.design.num_engn = v.design.num_prop = 0, v.design.throt_max = 0; }, PASSES},
    {[](veh_class& v) { engine0(v, 7), v.design.thrust_rkt_a = 0; }, ROCKET},
    {[](veh_class& v) { engine0(v, 7), v.design.power_max = 0; }, POWER},
    {[](veh_class& v) { engine0(v, 6), v.design.thrust_rkt_c = 0; }, ROCKET},
    {[](veh_class& v) { v.engn[1].engn_type = 4, v.design.thrust_jet = 0; }, JET},
    {[](veh_class& v) { engine0(v, 5), v.design.comp_area = 0; }, COMPRESSOR},
    {[](veh_class& v) { v.design.mp_max = 0; }, MANIFOLD},
    {[](veh_class& v) { engine0(v, 2), v.engn[1].engn_type = 2, v.design.mp_max = 0; }, PASSES},
    {[](veh_class& v) { v.design.rpm_prop = 0.9f; }, RPM},
    {[](veh_class& v) { v.design.rpm_idle = 2701; }, IDLE},
    {[](veh_class& v) { v.design.rpm_max = 0, v.design.rpm_idle = 600; }, RPM},
    {[](veh_class& v) { v.engn[0].prop_type = 1; }, SAME_PITCH},
    {[](veh_class& v) { v.engn[0].prop_type = 2; }, SAME_PITCH},
    {[](veh_class& v) { v.engn[0].prop_type = 3; }, SAME_PITCH},
    {[](veh_class& v) { v.engn[0].prop_type = 7; }, SAME_PITCH},
    {[](veh_class& v) { v.engn[0].prop_type = 4; }, SAME_PITCH},
    {[](veh_class& v) { v.engn[0].prop_type = 5; }, PASSES},
    {[](veh_class& v) { v.engn[0].prop_type = 6; }, PASSES},
    {[](veh_class& v) { v.engn[0].prop_type = 8; }, PASSES},
    {[](veh_class& v) { v.engn[0].pitch_coarse = 20.02f; }, FIXED_PITCH},
    {[](veh_class& v) { v.design.num_engn = 0, v.design.num_prop = 1, v.engn[0].pitch_coarse = 25; }, FIXED_PITCH},
    {[](veh_class& v) { engine0(v, 4), v.engn[1].engn_type = 4, v.engn[0].prop_type = 1; }, PASSES},
    {[](veh_class& v) { v.design.tank_ratio[1] = 0.49f; }, TANKS},
    {[](veh_class& v) { v.design.tank_ratio[1] = 0.5049f; }, PASSES},
    {[](veh_class& v) { v.design.fuel_max = 0, v.design.tank_ratio[1] = 0.2f; }, PASSES},
    {[](veh_class& v) { v.design.tank_ratio[2] = 0.5f; }, PASSES},
    {[](veh_class& v) { v.wing[9].root_chord = 0; }, CHORD},
    {[](veh_class& v) { v.wing[9].root_chord = 0, v.flt_link->state.fail_wing[1] = 6; }, PASSES},
    {[](veh_class& v) { v.design.sfc_prop[3] = 0; }, PROP_SFC},
    {[](veh_class& v) { engine0(v, 5), v.design.sfc_jet[4] = 0; }, JET_SFC},
    {[](veh_class& v) { engine0(v, 6), v.design.sfc_rocket = 0; }, ROCKET_SFC},
    {[](veh_class& v) { engine0(v, 3), v.engn[1].engn_type = 3, std::memset(v.design.sfc_prop, 0, 24); }, PASSES},
};

}  // namespace

using DesignCheck = AircraftTest;

TEST_F(DesignCheck, ShowsTheFirstFailingTestOnceAndChangesNothing)
{
    stls[1201 + 9] = CHORD;
    for (size_t row = 0; row < std::size(CASES); ++row) {
        const auto& [apply, expected] = CASES[row];
        SCOPED_TRACE(testing::Message() << "row " << row);
        recorder.clear();
        veh_class& v = test::good_design(1);
        apply(v);
        const veh_class before = v;
        v.check_veh(1);

        EXPECT_EQ(std::memcmp(&before.design, &v.design, sizeof v.design), 0);
        EXPECT_EQ(std::memcmp(before.wing.data(), v.wing.data(), sizeof(veh_wing_class) * WING_COUNT), 0);
        ASSERT_EQ(alerts().size(), expected ? 1u : 0u);
        if (expected == nullptr)
            continue;
        const test::recorded_alert& a = alerts()[0];
        const std::string lines = "\n" + a.l1 + "\n" + a.l2 + "\n" + a.l3 + "\n" + a.l4;
        EXPECT_NE(lines.find("\n" + std::string(expected) + "\n"), std::string::npos) << lines;
        EXPECT_EQ(a.type, ALERT_MESSAGE);
        EXPECT_EQ(a.file, "aircraft/check");
    }
}
