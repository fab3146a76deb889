// Numbers of the sticks windows' resources, shared by code and .rc.
#pragma once
