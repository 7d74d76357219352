# find_package(qel2br): the library face of Qel2Br as the imported target qel2br::qel2br.
include(CMakeFindDependencyMacro)
find_dependency(Threads)
include(${CMAKE_CURRENT_LIST_DIR}/qel2br-targets.cmake)
