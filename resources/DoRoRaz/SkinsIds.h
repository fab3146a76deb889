// Numbers of the skins windows' resources, shared by code and .rc.
#pragma once
