// PlaceDef.h: one place as the level file defines it, kept to rebuild the place on every restart.
#pragma once
#include "framework/StringUtils.h"

#include <string>
#include <vector>

using RequirementList = std::vector<PlaceRequirement>;

struct PlaceDef {
    int x = 0, y = 0;
    float rotate = 0;
    std::vector<std::string> cards;
    float h_offset = 0, v_offset = 0;
    int type = 0;
    bool visible = false;
    bool invert_angle = false;
    int rank = 0;
    RequirementList empty_drop_req, drop_req, pick_req, click_req, win_cond, click_card, click_empty,
        sort_req;
    int click_empty_limit = 0;
    std::string help_script;
    int max_bottom_pos = 0;
};
