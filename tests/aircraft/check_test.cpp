// The design check: each row changes a good design and names the one message expected (or none).

#include "aircraft_fixture.h"

#include "core/globals.h"

#include <cstring>
#include <functional>

namespace {

struct message {
    const char *l1, *l2, *l3;
};

const message PASSES = {nullptr, nullptr, nullptr};
const message TAIL = {"This plane has no tail number!", "You must have a tail number!",
                      "This is needed for ATC, logbooks, etc."};
const message VNE = {"You entered a Vne of zero!",
                     "You need to change this or the plane will over-stress just sitting there!", ""};
const char* const DEFIES = "This defies the immutable laws of physics!";
const char* const DO_NOT_DEFY = "Please do not defy the immutable laws of physics!";
const message EMPTY_WEIGHT = {"You have entered an empty weight of zero!", DEFIES, DO_NOT_DEFY};
const message MAX_WEIGHT = {"You have entered a maximum weight of zero!", DEFIES, DO_NOT_DEFY};
const message HEAVIER = {"You have selected an empty weight that is greater than the maximum weight for this airplane!",
                         "I know some planes cannot carry much, but this is out of control!", ""};
const message RUDDER = {"You put a water rudder in front of the center of gravity!",
                        "There is no way you will be able to steer this thing on the water!", ""};
const message REVERSE = {"This aircraft has reverse-thrust capability as decided in the ENGINES screen.",
                         "But there is a problem: The max THROTTLE available for reverse thrust as decided in the "
                         "ENGINES screen is ZERO PERCENT! OOPS!",
                         "We won't get much reverse thrust when the maximum allowable throttle while in reverse is "
                         "zero percent!"};
const message THROTTLE = {"Problem: The max THROTTLE available as decided in Hullwright is ZERO PERCENT! OOPS!",
                          "Fix this in the ENGINES screen in Hullwright.",
                          "If you are trying to make a glider, enter a number of engines of zero."};
const message ROCKET = {
    "You requested a rocket engine in the ENGINES screen, but have entered an engine thrust of zero!",
    "This is not good. To fly a glider, enter a number of engines of ZERO.", ""};
const message JET = {"You requested a jet engine in the ENGINES screen, but have entered an engine thrust of zero!",
                     "This is not good. To fly a glider, enter a number of engines of ZERO. To fly a prop plane, "
                     "enter that as the engine type.",
                     ""};
const message POWER = {"You requested a reciprocating or turbine engine in the ENGINES screen, but have entered an "
                       "engine power of zero!",
                       "This is not good. To fly a glider, enter a number of engines of ZERO. To fly a jet, enter "
                       "that as the engine type.",
                       ""};
const message MANIFOLD = {"You have entered a maximum manifold pressure in the ENGINES screen of 0!",
                          "It is not possible for a reciprocating engine to operate at full power with zero manifold "
                          "pressure!",
                          "Enter a correct maximum manifold pressure in the ENGINES screen... probably 29.92 for "
                          "normally-aspirated engines."};
const message COMPRESSOR = {"Do not enter zero as a compressor area for a jet engine!",
                            "You are asking for thrust from zero area!",
                            "I hate it when my users try to break the laws of physics!"};
const message RPM = {"You have entered zero for some of the engine RPM parameters in the ENGINES screen!",
                     "Do not tell me the props turn at zero rpm in flight!", ""};
const message IDLE = {"You entered an idle rpm greater then the maximum engine rpm in the ENGINES screen!",
                      "That is not possible.", "You must fix this."};
const message SAME_PITCH = {"This design is either a helicopter or a plane with a variable-pitch prop.",
                            "The problem is, you have entered the same coarse and fine pitch!",
                            "This will make prop or rotor control impossible!"};
const message FIXED_PITCH = {"This design has a fixed-pitch prop, but you entered different fine and coarse pitches "
                             "in the props screen!",
                             "Duh-OH!", ""};
const message TANKS = {"Look at the WEIGHT AND BALANCE window. Then look at the RATIO of fuel in each fuel tank.",
                       "Those numbers indicate the fraction of your total fuel in each tank. Those ratios must all "
                       "add up to 1.00... right now they do not!",
                       "Your fuel must be 100% distributed across the fuel tanks!"};
const message CHORD = {"Oops!",
                       "You entered a wing with a root chord of zero! You cannot have a wing with zero chord! The "
                       "wing is:",
                       "right outer panel"};
const char* const NO = "You cannot do that!";
const message ROCKET_SFC = {"Oops!", "You entered a Specific Fuel Consumption of ZERO for a rocket engine!", NO};
const message JET_SFC = {"Oops!", "You entered a Specific Fuel Consumption of ZERO for a jet engine!", NO};
const message PROP_SFC = {"Oops!", "You entered a Specific Fuel Consumption of ZERO for a recip or turboprop engine!",
                          NO};

void engine0(veh_class& v, int type)
{
    v.engn[0].engn_type = type;
}

struct check_case {
    std::function<void(veh_class&)> apply;
    message expected;
};

const check_case CASES[] = {
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
    stls[1201 + 9] = CHORD.l3;
    for (const check_case& c : CASES) {
        SCOPED_TRACE(testing::Message() << "row " << (&c - CASES));
        recorder.clear();
        veh_class& v = test::good_design(1);
        c.apply(v);
        const veh_class before = v;
        v.check_veh(1);

        EXPECT_EQ(std::memcmp(&before.design, &v.design, sizeof v.design), 0);
        EXPECT_EQ(std::memcmp(before.wing.data(), v.wing.data(), sizeof(veh_wing_class) * WING_COUNT), 0);
        ASSERT_EQ(alerts().size(), c.expected.l1 ? 1u : 0u);
        if (c.expected.l1 == nullptr)
            continue;
        const test::recorded_alert& a = alerts()[0];
        EXPECT_EQ(std::vector<std::string>({a.l1, a.l2, a.l3, a.l4}),
                  std::vector<std::string>({c.expected.l1, c.expected.l2, c.expected.l3, ""}));
        EXPECT_EQ(a.type, ALERT_MESSAGE);
        EXPECT_EQ(a.file, "aircraft/check");
    }
}
