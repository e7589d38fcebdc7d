#pragma once
// Shared set-up of the aircraft tests: alerts are recorded, and the lists hold two cleared aircraft.

#include "aircraft/veh.h"
#include "support/aircraft_design.h"
#include "support/alert_recorder.h"

#include <gtest/gtest.h>

class AircraftTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        veh.clear();
        flt.clear();
        size_aircraft_lists(2);
    }
    const std::vector<test::recorded_alert>& alerts() const { return recorder.alerts(); }
    test::alert_recorder recorder;
};
