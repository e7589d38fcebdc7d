#pragma once
// veh: the design record `veh_class` and the flight-state record `flt_class` of every aircraft, with the
// routines that stand on them alone: clearing, base settings, presence queries and the design check.
// The simulator calls them; the installer links the library and calls none of it.
// Invariant: every component vector holds exactly its count of entries from construction on, and entry i of
// `veh` and entry i of `flt` link to each other once size_aircraft_lists has sized both lists.

#include <string>
#include <type_traits>
#include <vector>

// ---------------------------------------------------------------------------
// Capacities. A count or index read from a design is held to these before it
// bounds a loop or picks an entry.
// ---------------------------------------------------------------------------
constexpr int ENGINE_COUNT = 8;
constexpr int WING_COUNT = 56;  // entries 0-7 are the propulsors' blades
constexpr int PART_COUNT = 95;
constexpr int GEAR_COUNT = 10;
constexpr int DOOR_COUNT = 20;
constexpr int DOOR2_COUNT = 4;
constexpr int ATTACHMENT_COUNT = 24;
constexpr int AIRFOIL_COUNT = 56;
constexpr int WEAPON_COUNT = 25;
constexpr int OBJECT_COUNT = 24;

constexpr int NAME_CHARS = 40;  // tail number, airfoil, attachment and weapon file names
constexpr int NOTE_CHARS = 500;
constexpr int PANEL_SLOTS = 300;
constexpr int TANK_COUNT = 3;      // the tanks an aircraft file describes
constexpr int ELEMENT_COUNT = 10;  // span elements of a wing or blade
constexpr int STATION_COUNT = 11;  // span stations: one more than the elements
constexpr int GRID_STATIONS = 20;  // cross-sections of a part
constexpr int GRID_POINTS = 18;    // points of one cross-section
constexpr int GAUGE_COUNT = 14;
constexpr int DIAL_COUNT = 10;

// Part numbering: propulsors, then wings, then bodies; bodies 77-84 are the
// nacelles of engines 0-7 and bodies 85-94 the gear legs of gears 0-9.
constexpr int FIRST_WING_PART = 8;
constexpr int FIRST_REPEATED_WING = 40;  // wings 40-55 repeat along the propulsors
constexpr int FIRST_BODY_PART = 56;
constexpr int FIRST_NACELLE = 77;
constexpr int FIRST_GEAR_BODY = 85;

// A failure state of 6 means the item is lost: every query counts it absent.
constexpr unsigned char FAILURE_LOST = 6;

// Panel lists beside the instrument slots, and the count that sizes the per-unit values.
constexpr int PANEL_LISTS = 14;
constexpr int PANEL_LIST_ENTRIES = 50;
constexpr int UNIT_CAPACITY = 10;
constexpr int PRESET_SWITCHES = 10;

// A count read from a design, held to 0..capacity where it bounds a loop or picks an entry; the design
// itself keeps the value as read.
inline int held_count(int count, int capacity)
{
    return count < 0 ? 0 : count > capacity ? capacity : count;
}

// A value raised to at least `least`; not-a-number is raised too.
inline float at_least(float value, float least)
{
    return value >= least ? value : least;
}

// ---------------------------------------------------------------------------
// Engine types 0-8 and the fixed classes they fall into.
// ---------------------------------------------------------------------------
bool engine_turns_propulsor(int engn_type);   // 0, 1, 2, 3, 7, 8
bool engine_is_reciprocating(int engn_type);  // 0, 1
bool engine_is_jet(int engn_type);            // 4, 5
bool engine_is_rocket(int engn_type);         // 6, 7 (7 also turns a propulsor)

// The search values of has_this_engn and has_this_thru.
enum engine_search : int {
    SEARCH_ANY_ENGINE = 0,
    SEARCH_TURNS_PROPULSOR = 1,
    SEARCH_RECIPROCATING = 2,
    SEARCH_JET = 3,
    SEARCH_ROCKET = 4,
    SEARCH_PROPULSOR_IN_USE = 5,
    SEARCH_PROPULSOR_DRIVEN = 6,
};

// Texture rectangles as fractions of the texture, N copies of each edge.
template <int N> struct tex_rects {
    float s1[N];
    float t1[N];
    float s2[N];
    float t2[N];
};

// ---------------------------------------------------------------------------
// Component records of the design. All are plain data that a zero fill
// clears, except wpn_class, which owns its vector.
// ---------------------------------------------------------------------------
struct veh_engn_class {
    int engn_type;                    // 0-8, classes above
    int prop_type;                    // propulsor kind: 0 fixed pitch, 8 no propulsor
    float el_ang_deg[ELEMENT_COUNT];  // blade angle of each span element
    float pitch_fine;
    float pitch_coarse;
};

struct veh_wing_class {
    char afl_file[4][NAME_CHARS];
    int els;  // span elements in use, 0-10
    float root_chord;
    float tip_chord;
    float semilen;
    int span_shift_on;
    float span_shift;  // fraction of semilen the span position moves inboard
    int is_left;
    float x_fac;   // -1 for a left-hand surface, else 1
    float el_len;  // semilen / els
    float span_ang_deg;
    float ac_shift;
    float el_x[ELEMENT_COUNT];  // blade element positions (propulsor entries 0-7)
    float el_y[ELEMENT_COUNT];
    float el_z[ELEMENT_COUNT];
    // Per element: the element carries that control surface.
    int ctl0[ELEMENT_COUNT];
    int ctl1[ELEMENT_COUNT];
    int ctl2[ELEMENT_COUNT];
    int ctl3[ELEMENT_COUNT];
    int ctl4[ELEMENT_COUNT];
    int ctl5[ELEMENT_COUNT];
    int ctl6[ELEMENT_COUNT];
    int ctl7[ELEMENT_COUNT];
    int ctl8[ELEMENT_COUNT];
    int ctl9[ELEMENT_COUNT];
    int ctl10[ELEMENT_COUNT];
    int ctl11[ELEMENT_COUNT];
    int ctl12[ELEMENT_COUNT];
    // First element and one past the last element carrying surface N.
    int ctl1_lo, ctl2_lo, ctl3_lo, ctl4_lo, ctl5_lo, ctl6_lo, ctl7_lo, ctl8_lo, ctl9_lo, ctl10_lo, ctl11_lo, ctl12_lo;
    int ctl1_hi, ctl2_hi, ctl3_hi, ctl4_hi, ctl5_hi, ctl6_hi, ctl7_hi, ctl8_hi, ctl9_hi, ctl10_hi, ctl11_hi, ctl12_hi;
    int ctl_aux[ELEMENT_COUNT];
    float el_area[ELEMENT_COUNT];
    float el_mac[ELEMENT_COUNT];
    unsigned char ahead_cg;  // the wing's reference point lies ahead of cg_arm
    float preset_frac;       // old files lack it; their conversion sets a quarter
};

// The twelve control-surface tables of a wing with their element ranges; surface N is entry N - 1.
using element_flags = int[ELEMENT_COUNT];
extern element_flags veh_wing_class::*const WING_CONTROLS[12];
extern int veh_wing_class::*const WING_CONTROLS_LO[12];
extern int veh_wing_class::*const WING_CONTROLS_HI[12];

struct veh_part_class {
    int present;  // nonzero when the part is fitted
    float x;      // lateral
    float y;      // vertical
    float z;      // longitudinal
    float size;
    int small_tex;  // 1: vertical texture coordinates in 256ths, else 1024ths
    tex_rects<2> tex;
    float tex_scale;  // old aircraft files lack it (their conversion sets 1); old weapon files carry it
    int nac_flag;
    int station_count;  // cross-sections in use, up to GRID_STATIONS
    int point_count;    // points in use per cross-section, up to GRID_POINTS
    float geo[GRID_STATIONS][GRID_POINTS][3];
};

struct veh_gear_class {
    int type;  // 0 none; type 1 is never the reference gear
    int ref_ok;
    float leg_len;
    float ext;  // 1 = extended
    float leg_add;
    float leg_shrink;
    float att_x;
    float att_y;
    float att_z;
    float ang_a0_deg;
    float ang_b0_deg;
    float ang_a_deg;
    float ang_b_deg;
};

struct veh_door_class {
    int type;         // 0: no door
    float angle_deg;  // 0 to 360, both ends included
    tex_rects<3> tex;
    float area;  // of the outline in the X-Y plane
    float geo[4][4][3];

    // Fills geo from the corners (x, y, z each; edges p1-p4 and p2-p3) and sets area.
    void set_door_geo(float* p1, float* p2, float* p3, float* p4);
};

struct veh_att_class {
    char name[NAME_CHARS];
    float value[8];
};

// Two settings of a wing's airfoil that travel with it when copy_foil copies the wing.
struct afl_class {
    float settings[2];
};
// The fields of one object come with the code that reads them.
struct obj_class { };

struct wpn_class {
    // The weapon model's values, grouped as a weapon file holds them.
    float head_values[2];
    float values_a[8];
    float values_b[4];
    float value_c;
    float per_name_tables[7][4];  // entry k of each table belongs to name k
    float per_name_pairs[4][2];
    char names[4][NAME_CHARS];  // the weapon's file names
    veh_part_class body;
    float tail_groups[2][6];
    struct vec_bro_struct { };  // the weapon model's own entries; only kept and copied here
    std::vector<vec_bro_struct> vec_bro;
};

// ---------------------------------------------------------------------------
// The design block: one contiguous run of plain data, cleared as one block.
// ---------------------------------------------------------------------------
struct gauge_struct {
    float lo;
    float hi;
    float top;
    float range;  // used by gauges 9-12
};

struct veh_design_struct {
    char tail_num[NAME_CHARS];
    char note_text1[NOTE_CHARS];
    char note_text2[NOTE_CHARS];
    char note_text3[NAME_CHARS];

    // General design values.
    float vne;           // never-exceed speed
    float weight_empty;  // kilograms
    float weight_max;    // kilograms
    float fuel_max;
    float cg_arm;  // longitudinal place of the centre of gravity; larger lies further aft
    float wrud_arm;
    float wrud_area;
    int num_tanks;
    float tank_ratio[TANK_COUNT];  // each tank's share of the fuel
    float tank_xyz[TANK_COUNT][3];
    int gear_selected;
    int gear_any;
    int gear_far;  // the reference gear
    float chord_frac[WING_COUNT][STATION_COUNT];
    float el_fac[WING_COUNT][STATION_COUNT];  // chord factor; 0 counts as 1
    float ctl1_val;
    float ctl2_val;
    int has_ctl_a;
    int has_ctl_b;
    int has_ctl_c;
    int has_ctl_w16;
    tex_rects<2> tex_pair;
    int tex_row_on;
    float tex_row_s1[10];
    float tex_row_t1[10];
    float tex_row_s2[10];
    float tex_row_t2[10];

    // The panel: instrument ids (-1 an empty slot) and three values per slot.
    int ins_id[PANEL_SLOTS];
    int ins_val1[PANEL_SLOTS];
    int ins_val2[PANEL_SLOTS];
    int ins_val3[PANEL_SLOTS];

    // Engines, propulsors, autopilot, engine control and fuel of the whole aircraft.
    int num_engn;  // engines in use, 0-8
    int num_prop;  // propulsors in use, 0-8; may exceed num_engn
    float throt_max;
    float throt_rev_max;
    int rev_on;
    float power_max;
    float mp_max;
    float rpm_idle;
    float rpm_max;
    float rpm_prop;
    float thrust_jet;
    float comp_area;
    float thrust_rkt_a;
    float thrust_rkt_b;
    float thrust_rkt_c;
    int thru_cut;  // a propulsor counts only while its flight-state cut_val is below 90
    int helo_flag;
    int has_kind3_prop;
    int has_kind5_prop;
    int kind3_prop_index;
    float sfc_prop[6];
    float sfc_prop_lo;
    float sfc_jet[6];
    float sfc_jet_lo;
    float sfc_rocket;
    int cus_fadec_on;
    float cus_fadec[3];
    int cus_auto_on;
    float cus_auto[15];
    int map_mode;  // 0 one entry per engine, 1 all on entry 0, -1 done
    int map_count;
    int engn_map[ENGINE_COUNT];
    int prop_map[ENGINE_COUNT];
    int engn_map_flag[ENGINE_COUNT];

    // Systems, instruments and the remaining defaults.
    int sys_a_on;
    int sys_b_on;
    float sys_a_val;
    float sys_b_val;
    int sys_c_on[4];
    int sys_d_on[4];
    float sys_c_val;
    float sys_d_val;
    float sys_max;
    float sys_set[4];
    float sys_set2;
    float min1_a;
    float min1_b;
    int copy_on;
    float copy_a;
    float copy_b;
    float copy_src_a;
    float copy_src_b;
    float ref_val;
    float ref_val_src;
    float eng_lim1, eng_lim2, eng_lim3, eng_lim4, eng_lim5, eng_lim6;
    gauge_struct gauge[GAUGE_COUNT];  // gauge[0] is gauge 1
    float arc_col[9];
    int dial_on[DIAL_COUNT];
    float dial_max[DIAL_COUNT];
    float min_frac;
    float def10;
    float def3_a;
    float def3_b;
    int band_on;
    float band_src[9];
    float band_ref;
    float band[15];
    float vec_a[3];
    float vec_b[3];
    int ones_on;
    float ones[6];

    // Values that designs of old files lack; their conversion presets them.
    int preset_on[PRESET_SWITCHES];
    float preset_value;
    // A count read from old files, and its values: entry 0, then one entry per unit.
    int unit_count;
    float unit_value[UNIT_CAPACITY + 1];
    int panel_list[PANEL_LISTS][PANEL_LIST_ENTRIES];
};
static_assert(std::is_trivially_copyable_v<veh_design_struct>);

class flt_class;

// ---------------------------------------------------------------------------
// The design record.
// ---------------------------------------------------------------------------
class veh_class {
public:
    veh_design_struct design{};
    flt_class* flt_link = nullptr;  // entry of flt with the same index; not owned

    std::vector<veh_engn_class> engn = std::vector<veh_engn_class>(ENGINE_COUNT);
    std::vector<veh_wing_class> wing = std::vector<veh_wing_class>(WING_COUNT);
    std::vector<veh_part_class> part = std::vector<veh_part_class>(PART_COUNT);
    std::vector<veh_gear_class> gear = std::vector<veh_gear_class>(GEAR_COUNT);
    std::vector<veh_door_class> door = std::vector<veh_door_class>(DOOR_COUNT);
    std::vector<veh_door_class> door2 = std::vector<veh_door_class>(DOOR2_COUNT);
    std::vector<veh_att_class> att = std::vector<veh_att_class>(ATTACHMENT_COUNT);
    std::vector<veh_att_class> att2 = std::vector<veh_att_class>(ATTACHMENT_COUNT);
    std::vector<afl_class> afl = std::vector<afl_class>(AIRFOIL_COUNT);
    std::vector<wpn_class> wpn = std::vector<wpn_class>(WEAPON_COUNT);
    std::vector<obj_class> obj = std::vector<obj_class>(OBJECT_COUNT);

    // Kept by clearing; the conversion of old files sets end_word2 to 0.
    int end_word1 = 0;
    int end_word2 = 0;
    std::string end_text1;
    std::string end_text2;

    // Zeroes the design, refills every component vector with zero entries and links entry `index` of flt.
    void clear_veh(int index);

    // Base settings.
    void set_base_sfc(int engn_type);
    void set_cus_fadec();
    void set_cus_auto();
    void set_base_st(int p);  // aircraft 0 gets the first texture layout, any other the second
    void set_base_tex_rows();
    void IO_coc(int);

    // Presence queries; they change nothing.
    bool has_this_engn(int i, int search) const;
    bool has_this_thru(int i, int search) const;
    int has_this_wing(int i) const;
    int has_this_body(int i) const;
    int has_this_part(int i) const;
    bool eng_has_helo_fadec(int i) const;
    bool eng_has_plane_fadec(int i) const;
    bool zero_sfc(int i) const;
    float get_foil_loc(int i, float pos, const char& axis) const;

    // Shows a message alert for the first test the design fails; changes nothing.
    void check_veh(int p) const;

    // Copies the airfoil settings of wing `from` to wing `to`, negating the lateral place when `mirror` is
    // not 0. Both must be below WING_COUNT.
    void copy_foil(int from, int to, int mirror);
    // Derives geometry, part flags and the engine, instrument and system defaults from what the designer
    // entered; `p` is this aircraft's index in veh.
    void autoset_veh(int p);
};

// ---------------------------------------------------------------------------
// The flight-state record.
// ---------------------------------------------------------------------------
struct flt_state_struct {
    float heading_deg;
    float pitch_deg;
    float roll_deg;
    float q[4];  // attitude quaternion stored q0, q3, q2, q1 (q1 roll, q2 pitch, q3 heading)
    unsigned char fail_engn[ENGINE_COUNT];
    unsigned char fail_wing[WING_COUNT - FIRST_WING_PART];  // entry 0 belongs to wing 8
};
static_assert(std::is_trivially_copyable_v<flt_state_struct>);

struct flt_engn_class {
    float cut_val;
};

struct flt_wing_class {
    float dir_y;
    float dir_x;
    float dir_z;
    float flex;
};

// The flight model's per-gear and per-part state; nothing here reads it.
struct flt_gear_class { };
struct flt_part_class { };

class flt_class {
public:
    veh_class* veh_link = nullptr;  // entry of veh with the same index; not owned
    flt_state_struct state{};
    std::vector<flt_engn_class> engn = std::vector<flt_engn_class>(ENGINE_COUNT);
    std::vector<flt_wing_class> wing = std::vector<flt_wing_class>(WING_COUNT);
    std::vector<flt_gear_class> gear = std::vector<flt_gear_class>(GEAR_COUNT);
    std::vector<flt_part_class> part = std::vector<flt_part_class>(PART_COUNT);

    // Zeroes the state, refills the component vectors, sets q from the angles and links entry `index` of veh.
    void clear_flt(int index);
    // Sets q from heading_deg, pitch_deg and roll_deg.
    void angles_to_q();
};

// ---------------------------------------------------------------------------
// The two lists, indexed by the same aircraft index.
// ---------------------------------------------------------------------------
extern std::vector<veh_class> veh;
extern std::vector<flt_class> flt;

// Sizes veh and flt together to `count` entries: entries that stay keep their
// contents, new ones are cleared, and every entry is linked to its partner
// again (a resize moves them all). A negative count is the misuse alert.
void size_aircraft_lists(int count);

// True when `index` names an entry of both lists; otherwise raises the fatal
// misuse alert naming `caller` and the index.
[[nodiscard]] bool aircraft_index_valid(int index, const char* caller);

// Reduces an airfoil path in place to its file name.
void set_afl_path(char* path);
