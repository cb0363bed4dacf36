# Training run of the profile-guided build (the "pgo" preset): the instrumented engine runs the
# console's bench and searches under the console and UCI (to fixed depths, one on the clock) on
# middlegames and endgames, so the profile covers the search, evaluation, move generation and
# the protocols.
# Each session is a process of its own that ends at the end of its input: a command that
# arrives while a search runs would cut the search short.
# The build runs it as: cmake -DENGINE=instrumented/vorlan -DPROFILE_DIR=its-profile-folder
#                              -DWORK_DIR=scratch-folder -P tools/pgo_training.cmake
foreach(var ENGINE PROFILE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "pgo_training.cmake needs -D${var}=...")
  endif()
  get_filename_component(${var} ${${var}} ABSOLUTE)
endforeach()

# Counts from an earlier training, or from an older build of the engine, must not add in.
file(GLOB old_profiles ${PROFILE_DIR}/*.gcda)
if(old_profiles)
  file(REMOVE ${old_profiles})
endif()
# An empty working folder: no Book.vlb, default.ini or personalities of the user's.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# train(NAME EXPECTED-REGEX LINE...): runs one session and checks that it got to its end.
function(train name expected)
  list(JOIN ARGN "\n" input)
  file(WRITE ${WORK_DIR}/${name}.in "${input}\n")
  execute_process(COMMAND ${ENGINE}
                  INPUT_FILE ${WORK_DIR}/${name}.in
                  OUTPUT_FILE ${WORK_DIR}/${name}.out
                  ERROR_FILE ${WORK_DIR}/${name}.err
                  WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status
                  TIMEOUT 300)
  file(READ ${WORK_DIR}/${name}.out output)
  if(NOT status EQUAL 0 OR NOT output MATCHES "${expected}")
    message(FATAL_ERROR "PGO training session '${name}' failed (exit ${status}); "
                        "see ${WORK_DIR}/${name}.out")
  endif()
  message(STATUS "PGO training: ${name} done")
endfunction()

set(kiwipete "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1")
set(italian "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10")
set(promotion "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8")
set(queenless "2r3k1/5pp1/p3p2p/1p1nP3/3R4/P4N1P/1P3PP1/6K1 b - - 0 28")
set(rook_ending "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1")
set(pawn_ending "8/5pk1/6p1/8/5PK1/6P1/8/8 w - - 0 1")

# The console: bench at its default depth, then a middlegame to a fixed depth.
train(bench "Nodes:\t[0-9]+" "bench")
train(console-middlegame "\n10\\. " "fen ${kiwipete}" "sd 10" "go")
# UCI: middlegames, a tactical position and endgames to fixed depths; one search on the clock
# for the time management.
set(uci_start "uci" "isready" "ucinewgame")
train(uci-italian "bestmove [a-h]" ${uci_start} "position fen ${italian}" "go depth 11")
train(uci-promotion "bestmove [a-h]" ${uci_start} "position fen ${promotion}" "go depth 11")
train(uci-queenless "bestmove [a-h]" ${uci_start} "position fen ${queenless}" "go depth 12")
train(uci-rook-ending "bestmove [a-h]" ${uci_start} "position fen ${rook_ending}" "go depth 15")
train(uci-pawn-ending "bestmove [a-h]" ${uci_start} "position fen ${pawn_ending}" "go depth 18")
train(uci-clock "bestmove [a-h]" ${uci_start} "setoption name OwnBook value false"
      "position startpos moves e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6 b1c3 a7a6"
      "go wtime 6000 btime 6000 winc 100 binc 100")
