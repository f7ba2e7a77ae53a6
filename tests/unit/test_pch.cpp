// The precompiled header of the unit tests is made with this file.
