#pragma once

#include <string>
#include <string_view>

// The application a process belongs to, from its /proc/<pid>/cgroup text: desktops start each
// application in a scope or service of its own named "app-[<launcher>-]<id>-<random>.scope" or
// "app-[<launcher>-]<id>@<random>.service" (a Flatpak's launcher is "flatpak", its id the app
// id). Empty when the process is in no such unit.
std::string AppNameFromCgroup(std::string_view cgroup);

// The name of a process in no application unit: its `comm`, or the executable's file name when
// `comm` was cut at the kernel's 15 characters and the file name goes on from it.
std::string ProcessName(std::string_view comm, std::string_view executable);
