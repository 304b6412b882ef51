// Registration of the skin components' published properties and classes.
#pragma once

// Registers them once; every skin component's constructor calls it.
void RegisterSkinProps();
// The bars' and the navigator's tables (skin/bar_props.cpp), registered with the rest.
void RegisterBarProps();
