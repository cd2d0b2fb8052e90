#pragma once
// Where the settings file lives on the platforms that keep it themselves.
#include <string>

// The directory in which the settings file's bare name is resolved; empty when there is
// none. Each POSIX platform supplies it.
std::string platformSettingsDirectory();

// The user's configuration directory as the XDG base directory rules give it:
// $XDG_CONFIG_HOME when it is an absolute path, else $HOME/.config, with the home
// directory from the password database when HOME is unset, empty or relative. Empty
// when there is no home directory at all.
std::string xdgSettingsDirectory();
