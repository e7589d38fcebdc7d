#pragma once
// A flyable aircraft design built field by field: it passes every test of the design check, so a test
// changes one thing and expects that one finding. Shared by the aircraft tests and the design-check benchmark.

#include "aircraft/veh.h"

#include <cstring>

namespace test {

// Makes entry `index` of the lists (growing them when needed) a cleared record holding a design with
// `engines` piston engines on fixed-pitch propellers, two tanks, and wing parts 8 to `last_wing` fitted.
// Every other engine kind has its figures too, so changing an engine's type alone keeps the design flyable.
inline veh_class& good_design(int index = 0, int engines = 2, int last_wing = 9)
{
    if (veh.size() <= size_t(index))
        size_aircraft_lists(index + 1);
    veh_class& v = veh[size_t(index)];
    v.clear_veh(index);
    flt[size_t(index)].clear_flt(index);

    veh_design_struct& d = v.design;
    std::strcpy(d.tail_num, "N1");
    d.vne = 150.0f;
    d.weight_empty = 600.0f;
    d.weight_max = 1000.0f;
    d.cg_arm = 2.0f;
    d.fuel_max = 150.0f;
    d.num_tanks = 2;
    d.tank_ratio[0] = d.tank_ratio[1] = 0.5f;
    d.num_engn = d.num_prop = engines;
    d.throt_max = 1.0f;
    d.throt_rev_max = 0.5f;
    d.power_max = 180.0f;
    d.mp_max = 29.92f;
    d.rpm_idle = 600.0f;
    d.rpm_max = d.rpm_prop = 2700.0f;
    d.thrust_jet = 3000.0f;
    d.comp_area = 0.5f;
    d.thrust_rkt_a = d.thrust_rkt_b = d.thrust_rkt_c = 5000.0f;
    for (int k : {0, 1, 3, 4}) {
        d.sfc_prop[k] = 0.44f;
        d.sfc_jet[k] = 0.85f;
    }
    d.sfc_rocket = 9.97f;
    for (int e = 0; e < engines; ++e)
        v.engn[size_t(e)].pitch_fine = v.engn[size_t(e)].pitch_coarse = 20.0f;
    for (int i = FIRST_WING_PART; i <= last_wing; ++i) {
        v.part[size_t(i)].present = 1;
        v.wing[size_t(i)].root_chord = 1.5f;
    }
    return v;
}

}  // namespace test
