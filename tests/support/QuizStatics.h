// The quiz's class statics as a fresh process has them. A test or benchmark that starts the quiz again
// in one process resets what an earlier run left behind.
#pragma once

#include "engine/HookCanvas.h"

namespace testsupport {

// The resource map, packs, languages and key table the start-up loads.
inline void resetResourceStatics() {
    HookCanvas::res_block_mappings = nullptr;
    HookCanvas::block_pack_mappings = nullptr;
    HookCanvas::resource_packs = nullptr;
    HookCanvas::times_resource_pack_reference = nullptr;
    HookCanvas::languages = nullptr;
    HookCanvas::internal_key_mappings = nullptr;
    HookCanvas::rtclass = nullptr;
}

inline void resetQuizRunStatics() {
    HookCanvas::game_state.store(0);
    HookCanvas::previous_game_state.store(0);
    HookCanvas::render_after_update.store(false);
    resetResourceStatics();
    HookCanvas::current_category = -1;
    HookCanvas::current_subsection = -1;
    HookCanvas::current_mode_practice = false;
    HookCanvas::want_category_to_be = -1;
    HookCanvas::want_subsection_to_be = -1;
    HookCanvas::want_practice_mode = false;
    HookCanvas::currently_loaded_category = -1;
    HookCanvas::currently_loaded_subsection = -1;
    HookCanvas::scrolly_menu_yoffset = 0;
    HookCanvas::msfy = 0;
    HookCanvas::weight_decay = 0;
    HookCanvas::was_dragging = false;
}

}  // namespace testsupport
