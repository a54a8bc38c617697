# The planet's data is generated, not committed: the generator writes
# Data/Terrain/terrain.bin and Data/Textures/landcolor.bmp into the source tree
# as part of the default build, deterministically from a fixed seed.
# It measures patch sizes with the planet's own mesh code, compiled in directly
# so the data never waits on the rest of the program.
add_executable(qv_terrain_generator ${CMAKE_SOURCE_DIR}/tools/TerrainGenerator.cpp ${CMAKE_SOURCE_DIR}/tools/TerrainStats.cpp
  ${CMAKE_SOURCE_DIR}/tools/BmpWriter.cpp
  ${CMAKE_SOURCE_DIR}/tools/GeneratorMeshSupport.cpp
  ${CMAKE_SOURCE_DIR}/world/planet/CubeMap.cpp ${CMAKE_SOURCE_DIR}/world/planet/PatchMesh.cpp
  ${CMAKE_SOURCE_DIR}/world/planet/LandColourRamp.cpp ${CMAKE_SOURCE_DIR}/platform/SysRandom.cpp)
target_include_directories(qv_terrain_generator PRIVATE ${CMAKE_SOURCE_DIR})

set(QV_TERRAIN_BIN ${CMAKE_SOURCE_DIR}/Data/Terrain/terrain.bin)
set(QV_LANDCOLOR_BMP ${CMAKE_SOURCE_DIR}/Data/Textures/landcolor.bmp)
add_custom_command(
  OUTPUT ${QV_TERRAIN_BIN} ${QV_LANDCOLOR_BMP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_SOURCE_DIR}/Data/Terrain ${CMAKE_SOURCE_DIR}/Data/Textures
  COMMAND qv_terrain_generator ${QV_TERRAIN_BIN} ${QV_LANDCOLOR_BMP}
  # The path cache was built over the old terrain.
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_SOURCE_DIR}/Data/Terrain/Paths.bin
  DEPENDS qv_terrain_generator
  COMMENT "Generating the planet's terrain and colour ramp"
  VERBATIM)
add_custom_target(qv_terrain_data ALL DEPENDS ${QV_TERRAIN_BIN} ${QV_LANDCOLOR_BMP})

# Every sound the modes play, synthesised into Data/Sounds/ (not committed).
# The generator's own list of what it wrote stands for the whole set.
add_executable(qv_sound_generator ${CMAKE_SOURCE_DIR}/tools/SoundGenerator.cpp ${CMAKE_SOURCE_DIR}/platform/SysRandom.cpp)
target_include_directories(qv_sound_generator PRIVATE ${CMAKE_SOURCE_DIR})
set(QV_SOUND_LIST ${CMAKE_SOURCE_DIR}/Data/Sounds/generated.txt)
add_custom_command(
  OUTPUT ${QV_SOUND_LIST}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_SOURCE_DIR}/Data/Sounds
  COMMAND qv_sound_generator ${CMAKE_SOURCE_DIR}/Data/Sounds
  DEPENDS qv_sound_generator
  COMMENT "Synthesising the game's sounds"
  VERBATIM)
add_custom_target(qv_sound_data ALL DEPENDS ${QV_SOUND_LIST})

# The tribe members' role models and the tribe and civ marker textures, drawn
# from code (not committed either).
add_executable(qv_tribe_asset_generator ${CMAKE_SOURCE_DIR}/tools/TribeAssetGenerator.cpp
  ${CMAKE_SOURCE_DIR}/tools/TribeModels.cpp ${CMAKE_SOURCE_DIR}/tools/ObjMeshBuilder.cpp
  ${CMAKE_SOURCE_DIR}/tools/IconPainter.cpp ${CMAKE_SOURCE_DIR}/tools/BmpWriter.cpp)
target_include_directories(qv_tribe_asset_generator PRIVATE ${CMAKE_SOURCE_DIR})
set(QV_TRIBE_MODELS)
foreach(role NoRole Hunter Breeder Recruiter Rester Healer Eater)
  list(APPEND QV_TRIBE_MODELS ${CMAKE_SOURCE_DIR}/Data/models/TribalGame_${role}.obj)
endforeach()
set(QV_MARKER_TEXTURES)
foreach(name health_red drumstick_red sleep_red health_yellow drumstick_yellow sleep_yellow tribe_+
    tribe_01 tribe_02 tribe_03 tribe_04 tribe_05 tribe_06 tribe_07 tribe_08 tribe_09 tribe_10
    tribe_11 tribe_12 tribe_13 tribe_14 tribe_15 tribe_16 tribe_17 tribe_18 tribe_19
    HalfSizeHeartPlusPlus HalfSizeHeartPlus HalfSizeHeart HalfSizeHeartMinus HalfSizeHeartMinusMinus
    happyDouble happySingle neutralSingle sadSingle sadDouble northicon southicon
    money_red money_yellow)
  list(APPEND QV_MARKER_TEXTURES ${CMAKE_SOURCE_DIR}/Data/Textures/${name}.bmp)
endforeach()
add_custom_command(
  OUTPUT ${QV_TRIBE_MODELS} ${QV_MARKER_TEXTURES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_SOURCE_DIR}/Data/models ${CMAKE_SOURCE_DIR}/Data/Textures
  COMMAND qv_tribe_asset_generator ${CMAKE_SOURCE_DIR}/Data/models ${CMAKE_SOURCE_DIR}/Data/Textures
  DEPENDS qv_tribe_asset_generator
  COMMENT "Generating the tribe role models and marker textures"
  VERBATIM)
add_custom_target(qv_tribe_asset_data ALL DEPENDS ${QV_TRIBE_MODELS} ${QV_MARKER_TEXTURES})

# The fly/swim mode's seven underwater models (not committed either).
add_executable(qv_underwater_model_generator ${CMAKE_SOURCE_DIR}/tools/UnderwaterModelGenerator.cpp
  ${CMAKE_SOURCE_DIR}/tools/ObjMeshBuilder.cpp)
target_include_directories(qv_underwater_model_generator PRIVATE ${CMAKE_SOURCE_DIR})
set(QV_UNDERWATER_MODELS)
foreach(name swimmingtripod underwater_flora underwater_rock underwater_rock_small whale jellyfish rare_fish)
  list(APPEND QV_UNDERWATER_MODELS ${CMAKE_SOURCE_DIR}/Data/models/Underwater/${name}.obj)
endforeach()
add_custom_command(
  OUTPUT ${QV_UNDERWATER_MODELS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_SOURCE_DIR}/Data/models/Underwater
  COMMAND qv_underwater_model_generator ${CMAKE_SOURCE_DIR}/Data/models/Underwater
  DEPENDS qv_underwater_model_generator
  COMMENT "Generating the underwater models"
  VERBATIM)
add_custom_target(qv_underwater_model_data ALL DEPENDS ${QV_UNDERWATER_MODELS})
