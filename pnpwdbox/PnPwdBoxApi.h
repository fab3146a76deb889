// Classes and functions PnPwdBox.dll exports besides those its .def file names.
#pragma once

#if defined(_WIN32)
#define PNPWDBOX_API __declspec(dllexport)
#else
#define PNPWDBOX_API
#endif
