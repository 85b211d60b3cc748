# Precompiled headers and unity builds (KT_FAST_BUILD, on by default).
#
# Unity builds compile several files of a target as one, so Qt's headers are
# read once for them. The precompiled headers are compiled once per tree by
# three donors, the product's (Qt Core, Network, Serial Port and the
# standard library), the window's (and Qt Widgets) and the tests' (and
# GoogleTest); kt_fast_build_all() at the end of the top-level CMakeLists
# gives every target the donor it fits. Donor and users share the tree's
# flags and macros, which GCC requires of a precompiled header. QtTest stays
# out: its headers read the QT_*_LIB macros, and it defines a macro of its
# own in each folder (QT_TESTCASE_BUILDDIR). A target
# with compile options of its own (test_fuzz_link's -O2) gets no donor.

if(NOT KT_FAST_BUILD)
    function(kt_fast_build_all)
    endfunction()
    return()
endif()

set(CMAKE_UNITY_BUILD ON)
if(KT_BUILD_TESTS)
    find_package(GTest REQUIRED)  # the tests' donor is made here, above tests/
endif()

set(kt_pch_core
    <algorithm> <array> <chrono> <functional> <memory> <optional> <utility> <vector>
    <QByteArray> <QByteArrayView> <QCoreApplication> <QDateTime> <QDir> <QElapsedTimer>
    <QFile> <QJsonArray> <QJsonDocument> <QJsonObject> <QList> <QObject>
    <QRegularExpression> <QSettings> <QString> <QStringList> <QTextStream> <QTimer>
    <QTcpSocket> <QSerialPort>)
set(kt_pch_widgets ${kt_pch_core}
    <QAction> <QApplication> <QCheckBox> <QComboBox> <QLabel> <QLineEdit> <QPushButton>
    <QTabWidget> <QWidget>)
set(kt_pch_test ${kt_pch_widgets} <gtest/gtest.h>)
set(kt_pch_core_libs Qt6::Core Qt6::Network Qt6::SerialPort)
set(kt_pch_widgets_libs ${kt_pch_core_libs} Qt6::Widgets)
set(kt_pch_test_libs ${kt_pch_widgets_libs} GTest::gtest)

# The donor of one kind, made on first use.
function(kt_pch_donor kind)
    if(TARGET ktpch_${kind})
        return()
    endif()
    add_library(ktpch_${kind} OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch.cpp)
    target_link_libraries(ktpch_${kind} PRIVATE ${kt_pch_${kind}_libs})
    target_precompile_headers(ktpch_${kind} PRIVATE ${kt_pch_${kind}})
    set_target_properties(ktpch_${kind} PROPERTIES UNITY_BUILD OFF AUTOMOC OFF)
endfunction()

function(kt_fast_build target)
    get_target_property(options ${target} COMPILE_OPTIONS)
    get_target_property(dir ${target} SOURCE_DIR)
    get_directory_property(tree_options DIRECTORY ${dir} COMPILE_OPTIONS)
    if(NOT "${options}" STREQUAL "${tree_options}")
        return()
    endif()
    get_target_property(libs ${target} LINK_LIBRARIES)
    if(NOT libs)
        set(libs "")
    endif()
    # pkg-config's flags (libpulse's -D_REENTRANT) are no donor's.
    if(libs MATCHES "PkgConfig::")
        return()
    endif()
    if("GTest::gtest" IN_LIST libs)
        set(kind test)
    elseif("ktwindow" IN_LIST libs OR "Qt6::Widgets" IN_LIST libs)
        set(kind widgets)
    else()
        set(kind core)
    endif()
    kt_pch_donor(${kind})
    target_precompile_headers(${target} REUSE_FROM ktpch_${kind})
    # The donor's modules give the target the same macros (GCC refuses a
    # precompiled header made with QT_GUI_LIB in a file without it).
    target_link_libraries(${target} PRIVATE ${kt_pch_${kind}_libs})
endfunction()

# Every C++ library and program of the tree, walked folder by folder.
function(kt_fast_build_all)
    set(dirs ${PROJECT_SOURCE_DIR})
    while(dirs)
        list(POP_FRONT dirs dir)
        get_directory_property(subdirs DIRECTORY ${dir} SUBDIRECTORIES)
        list(APPEND dirs ${subdirs})
        get_directory_property(targets DIRECTORY ${dir} BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY)$")
                kt_fast_build(${target})
            endif()
        endforeach()
    endwhile()
endfunction()
