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

}  // namespace orvel::product
