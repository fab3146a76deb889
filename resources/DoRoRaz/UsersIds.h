// Numbers of the users windows' resources, shared by code and .rc.
#pragma once
