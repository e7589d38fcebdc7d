#include "aircraft/veh.h"

#include "core/alert.h"
#include "core/globals.h"

#include <algorithm>
#include <cmath>
#include <cstring>

std::vector<veh_class> veh;
std::vector<flt_class> flt;

using W = veh_wing_class;
element_flags W::*const WING_CONTROLS[12] = {&W::ctl1, &W::ctl2, &W::ctl3, &W::ctl4,  &W::ctl5,  &W::ctl6,
                                             &W::ctl7, &W::ctl8, &W::ctl9, &W::ctl10, &W::ctl11, &W::ctl12};
int W::*const WING_CONTROLS_LO[12] = {&W::ctl1_lo, &W::ctl2_lo, &W::ctl3_lo, &W::ctl4_lo,  &W::ctl5_lo,  &W::ctl6_lo,
                                      &W::ctl7_lo, &W::ctl8_lo, &W::ctl9_lo, &W::ctl10_lo, &W::ctl11_lo, &W::ctl12_lo};
int W::*const WING_CONTROLS_HI[12] = {&W::ctl1_hi, &W::ctl2_hi, &W::ctl3_hi, &W::ctl4_hi,  &W::ctl5_hi,  &W::ctl6_hi,
                                      &W::ctl7_hi, &W::ctl8_hi, &W::ctl9_hi, &W::ctl10_hi, &W::ctl11_hi, &W::ctl12_hi};

namespace {

constexpr const char* VEH_SOURCE = "aircraft/veh";

}  // namespace

bool engine_turns_propulsor(int engn_type)
{
    switch (engn_type) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 7:
        case 8:
            return true;
        default:
            return false;
    }
}

bool engine_is_reciprocating(int engn_type)
{
    return engn_type == 0 || engn_type == 1;
}

bool engine_is_jet(int engn_type)
{
    return engn_type == 4 || engn_type == 5;
}

bool engine_is_rocket(int engn_type)
{
    return engn_type == 6 || engn_type == 7;
}

bool aircraft_index_valid(int index, const char* caller)
{
    if (index >= 0 && size_t(index) < veh.size() && size_t(index) < flt.size())
        return true;
    __MACIBM_alert(0, "Bad aircraft index!", caller, std::to_string(index), "", ALERT_FATAL, VEH_SOURCE, __LINE__);
    return false;
}

void veh_class::clear_veh(int index)
{
    if (!aircraft_index_valid(index, "clear_veh"))
        return;
    std::memset(&design, 0, sizeof design);
    engn.assign(ENGINE_COUNT, {});
    wing.assign(WING_COUNT, {});
    part.assign(PART_COUNT, {});
    gear.assign(GEAR_COUNT, {});
    door.assign(DOOR_COUNT, {});
    door2.assign(DOOR2_COUNT, {});
    att.assign(ATTACHMENT_COUNT, {});
    att2.assign(ATTACHMENT_COUNT, {});
    afl.assign(AIRFOIL_COUNT, {});
    wpn.assign(WEAPON_COUNT, {});
    obj.assign(OBJECT_COUNT, {});
    flt_link = &flt[size_t(index)];
}

void flt_class::clear_flt(int index)
{
    if (!aircraft_index_valid(index, "clear_flt"))
        return;
    std::memset(&state, 0, sizeof state);
    engn.assign(ENGINE_COUNT, {});
    wing.assign(WING_COUNT, {});
    gear.assign(GEAR_COUNT, {});
    part.assign(PART_COUNT, {});
    angles_to_q();
    veh_link = &veh[size_t(index)];
}

void flt_class::angles_to_q()
{
    const float h = state.heading_deg * degtorad * 0.5f;
    const float p = state.pitch_deg * degtorad * 0.5f;
    const float r = state.roll_deg * degtorad * 0.5f;
    const float ch = std::cos(h), sh = std::sin(h);
    const float cp = std::cos(p), sp = std::sin(p);
    const float cr = std::cos(r), sr = std::sin(r);
    const float q0 = cr * cp * ch + sr * sp * sh;
    const float q1 = sr * cp * ch - cr * sp * sh;
    const float q2 = cr * sp * ch + sr * cp * sh;
    const float q3 = cr * cp * sh - sr * sp * ch;
    state.q[0] = q0;
    state.q[1] = q3;
    state.q[2] = q2;
    state.q[3] = q1;
}

void size_aircraft_lists(int count)
{
    if (count < 0) {
        __MACIBM_alert(0, "Bad aircraft count!", "size_aircraft_lists", std::to_string(count), "", ALERT_FATAL,
                       VEH_SOURCE, __LINE__);
        return;
    }
    const size_t before = std::min(veh.size(), flt.size());
    veh.resize(size_t(count));
    flt.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        if (size_t(i) >= before) {
            veh[size_t(i)].clear_veh(i);
            flt[size_t(i)].clear_flt(i);
        }
        veh[size_t(i)].flt_link = &flt[size_t(i)];
        flt[size_t(i)].veh_link = &veh[size_t(i)];
    }
}
