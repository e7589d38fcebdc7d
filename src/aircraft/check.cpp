// The design check: its tests run in a fixed order and the first that fails shows one message alert; a
// design that passes shows nothing. It reports and never mends: the designer decides what to change.
#include "aircraft/veh.h"

#include "core/alert.h"
#include "core/globals.h"

#include <source_location>

namespace {

constexpr const char* CHECK_SOURCE = "aircraft/check";

// Below these a design value counts as zero. The comparisons stay in single precision: a double threshold
// would count values that the design stores as exactly these.
constexpr float ZERO_DESIGN = 0.01f;   // speed, weights, pitch range
constexpr float ZERO_ENGINE = 0.001f;  // throttles, thrust, power, pressure, areas, chords
constexpr float ZERO_RPM = 1.0f;
// The tank shares must add up to one, give or take rounding in the designer's figures.
constexpr float TANK_SUM_LOW = 0.995f;
constexpr float TANK_SUM_HIGH = 1.005f;

// The name of wing i is interface text WING_NAME_TEXT + i.
constexpr int WING_NAME_TEXT = 1201;

const char* const PHYSICS_1 = "This defies the immutable laws of physics!";
const char* const PHYSICS_2 = "Please do not defy the immutable laws of physics!";
const char* const ROCKET_1 =
    "You requested a rocket engine in the ENGINES screen, but have entered an engine thrust of zero!";
const char* const ROCKET_2 = "This is not good. To fly a glider, enter a number of engines of ZERO.";

void finding(const std::string& l1, const std::string& l2, const std::string& l3,
             std::source_location where = std::source_location::current())
{
    __MACIBM_alert(0, l1, l2, l3, "", ALERT_MESSAGE, CHECK_SOURCE, int(where.line()));
}

bool blank(const char (&text)[NAME_CHARS])
{
    for (char c : text) {
        if (c == '\0')
            break;
        if (c != ' ')
            return false;
    }
    return true;
}

// Propulsor kinds whose pitch the pilot or the rotor control changes.
bool variable_pitch(int prop_type)
{
    return prop_type == 1 || prop_type == 2 || prop_type == 3 || prop_type == 7 || prop_type == 4;
}

}  // namespace

void veh_class::check_veh(int p) const
{
    if (!aircraft_index_valid(p, "check_veh"))
        return;
    const veh_design_struct& d = design;

    if (blank(d.tail_num))
        return finding("This plane has no tail number!", "You must have a tail number!",
                       "This is needed for ATC, logbooks, etc.");
    if (d.vne < ZERO_DESIGN)
        return finding("You entered a Vne of zero!",
                       "You need to change this or the plane will over-stress just sitting there!", "");
    if (d.weight_empty < ZERO_DESIGN)
        return finding("You have entered an empty weight of zero!", PHYSICS_1, PHYSICS_2);
    if (d.weight_max < ZERO_DESIGN)
        return finding("You have entered a maximum weight of zero!", PHYSICS_1, PHYSICS_2);
    if (d.weight_empty > d.weight_max)
        return finding("You have selected an empty weight that is greater than the maximum weight for this airplane!",
                       "I know some planes cannot carry much, but this is out of control!", "");
    if (d.wrud_area > 0.0f && d.wrud_arm < d.cg_arm)
        return finding("You put a water rudder in front of the center of gravity!",
                       "There is no way you will be able to steer this thing on the water!", "");

    const int engines = held_count(d.num_engn, ENGINE_COUNT);
    for (int i = 0; i < engines; ++i) {
        const int type = engn[size_t(i)].engn_type;
        const bool turns = engine_turns_propulsor(type);
        if (d.rev_on != 0 && d.throt_rev_max < ZERO_ENGINE)
            return finding("This aircraft has reverse-thrust capability as decided in the ENGINES screen.",
                           "But there is a problem: The max THROTTLE available for reverse thrust as decided in "
                           "the ENGINES screen is ZERO PERCENT! OOPS!",
                           "We won't get much reverse thrust when the maximum allowable throttle while in "
                           "reverse is zero percent!");
        if (d.throt_max < ZERO_ENGINE)
            return finding("Problem: The max THROTTLE available as decided in Hullwright is ZERO PERCENT! OOPS!",
                           "Fix this in the ENGINES screen in Hullwright.",
                           "If you are trying to make a glider, enter a number of engines of zero.");
        if (engine_is_rocket(type) && d.thrust_rkt_a < ZERO_ENGINE)
            return finding(ROCKET_1, ROCKET_2, "");
        if (engine_is_rocket(type) && d.thrust_rkt_b < ZERO_ENGINE)
            return finding(ROCKET_1, ROCKET_2, "");
        if (engine_is_rocket(type) && d.thrust_rkt_c < ZERO_ENGINE)
            return finding(ROCKET_1, ROCKET_2, "");
        if (engine_is_jet(type) && d.thrust_jet < ZERO_ENGINE)
            return finding(
                "You requested a jet engine in the ENGINES screen, but have entered an engine thrust of zero!",
                "This is not good. To fly a glider, enter a number of engines of ZERO. To fly a prop plane, enter "
                "that as the engine type.",
                "");
        if (turns && d.power_max < ZERO_ENGINE)
            return finding("You requested a reciprocating or turbine engine in the ENGINES screen, but have "
                           "entered an engine power of zero!",
                           "This is not good. To fly a glider, enter a number of engines of ZERO. To fly a jet, "
                           "enter that as the engine type.",
                           "");
        if (engine_is_reciprocating(type) && d.mp_max < ZERO_ENGINE)
            return finding("You have entered a maximum manifold pressure in the ENGINES screen of 0!",
                           "It is not possible for a reciprocating engine to operate at full power with zero "
                           "manifold pressure!",
                           "Enter a correct maximum manifold pressure in the ENGINES screen... probably 29.92 for "
                           "normally-aspirated engines.");
        if (engine_is_jet(type) && d.comp_area < ZERO_ENGINE)
            return finding("Do not enter zero as a compressor area for a jet engine!",
                           "You are asking for thrust from zero area!",
                           "I hate it when my users try to break the laws of physics!");
        if (turns && (d.rpm_max < ZERO_RPM || d.rpm_prop < ZERO_RPM))
            return finding("You have entered zero for some of the engine RPM parameters in the ENGINES screen!",
                           "Do not tell me the props turn at zero rpm in flight!", "");
        if (turns && d.rpm_idle > d.rpm_max)
            return finding("You entered an idle rpm greater then the maximum engine rpm in the ENGINES screen!",
                           "That is not possible.", "You must fix this.");
    }

    // Every propulsor is judged by the first one's kind and pitches.
    const int kind = engn[0].prop_type;
    const float pitch_range = engn[0].pitch_coarse - engn[0].pitch_fine;
    const int propulsors = held_count(d.num_prop, ENGINE_COUNT);
    for (int i = 0; i < propulsors; ++i) {
        if (!engine_turns_propulsor(engn[size_t(i)].engn_type))
            continue;
        if (variable_pitch(kind) && pitch_range < ZERO_DESIGN)
            return finding("This design is either a helicopter or a plane with a variable-pitch prop.",
                           "The problem is, you have entered the same coarse and fine pitch!",
                           "This will make prop or rotor control impossible!");
        if (kind == 0 && pitch_range > ZERO_DESIGN)
            return finding("This design has a fixed-pitch prop, but you entered different fine and coarse pitches "
                           "in the props screen!",
                           "Duh-OH!", "");
    }

    if (d.fuel_max > 0.0f) {
        float shares = 0.0f;
        for (int t = 0; t < held_count(d.num_tanks, TANK_COUNT); ++t)
            shares += d.tank_ratio[t];
        if (shares < TANK_SUM_LOW || shares > TANK_SUM_HIGH)
            return finding("Look at the WEIGHT AND BALANCE window. Then look at the RATIO of fuel in each fuel tank.",
                           "Those numbers indicate the fraction of your total fuel in each tank. Those ratios must "
                           "all add up to 1.00... right now they do not!",
                           "Your fuel must be 100% distributed across the fuel tanks!");
    }

    for (int i = FIRST_WING_PART; i < FIRST_BODY_PART; ++i) {
        if (veh[size_t(p)].has_this_wing(i) && wing[size_t(i)].root_chord < ZERO_ENGINE)
            return finding("Oops!",
                           "You entered a wing with a root chord of zero! You cannot have a wing with zero chord! "
                           "The wing is:",
                           stls[WING_NAME_TEXT + i]);
    }

    for (int i = 0; i < engines; ++i) {
        if (!zero_sfc(i))
            continue;
        const int type = engn[size_t(i)].engn_type;
        if (engine_is_rocket(type))
            return finding("Oops!", "You entered a Specific Fuel Consumption of ZERO for a rocket engine!",
                           "You cannot do that!");
        if (engine_is_jet(type))
            return finding("Oops!", "You entered a Specific Fuel Consumption of ZERO for a jet engine!",
                           "You cannot do that!");
        if (type == 0 || type == 1 || type == 2 || type == 8)
            return finding("Oops!", "You entered a Specific Fuel Consumption of ZERO for a recip or turboprop engine!",
                           "You cannot do that!");
    }
}
