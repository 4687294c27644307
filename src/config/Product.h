#pragma once

// The product's own names, used wherever the program names itself: the settings store, window
// titles, the autostart entry and the about window.
//
// Thread contract: constants, any thread.
namespace orvel::product {

inline constexpr char kName[] = "Orvel";
inline constexpr char kHomePage[] = "https://orvel.org/";
// The installed program file inside the installation folder.
inline constexpr char kProgramFileName[] = "orvel";
// The version the start-up and about windows show, as "<major>.<minor>".
inline constexpr char kVersionMajor[] = "RL 4";
inline constexpr char kVersionMinor[] = "01";

}  // namespace orvel::product
