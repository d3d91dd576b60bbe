; The firmware's RAM (0x2000-0x23FF). The few locations the emulator knows
; by address are absolute symbols defined here; every other variable is
; placed by the linker (tm650.ld) in the regions around them, below the
; stack. Numbers are big-endian; the sizes are in the .space lines.

        .include "defs.inc"

        ; fixed: the emulator reads or traps these
        .globl  countdown, print_buffer, step_counter, stack_top
        .equ    countdown, AT_COUNTDOWN         ; 16-bit inactivity countdown
        .equ    print_buffer, AT_PRINT_BUFFER   ; 16-byte print line
        .equ    step_counter, AT_STEP_COUNTER   ; 84 at each home pulse of a feed
        .equ    stack_top, AT_STACK_TOP

        .macro  var name, size
        .globl  \name
\name:  .space  \size
        .endm

; ------------------------------------------------------- region A
        .section .ram.a,"aw",@nobits
        ; arithmetic (math.s): OPR64 lies OPR64_OFS bytes above ACC64
        var     ACC64, 4
        var     ACC, 4                  ; low half of ACC64
        var     OPR64, 4
        var     OPR, 4                  ; low half of OPR64
        var     REM, 4
        var     DTMP, 8
        var     MCNT, 1
        var     TMPW, 2
        var     SQN, 8
        var     SQT, 5
        .if     OPR64 - ACC64 - OPR64_OFS
        .error  "OPR64 must lie OPR64_OFS bytes above ACC64"
        .endif

        ; display (display.s): DSEG and NUMTXT at fixed offsets from DIGS
        var     DIGS, 8                 ; decimal digits, most significant first
        var     DSEG, 4                 ; segment bytes, bit 7 = point
        var     NUMTXT, 9               ; a number as text, right-aligned
        .if     (DSEG - DIGS - DSEG_OFS) | (NUMTXT - DIGS - NUMTXT_OFS)
        .error  "DSEG and NUMTXT must lie at their offsets from DIGS"
        .endif
        var     DBYTE, 1                ; byte being clocked out
        var     DCNT, 1                 ; bits left
        var     DCMD, 1                 ; 0x80 while sending a command
        var     FMTDEC, 1               ; decimals wanted (0 or 1)
        var     FMTLEAD, 1              ; still in leading zeros
        var     FMTLIM, 1               ; first position that must show a digit
        var     FMTIDX, 1               ; position being formatted
        var     DPTR, 2                 ; digit being written

        ; keys (device.s)
        var     KEY1, 1                 ; first scan of a key
        var     KEY, 1                  ; confirmed key number
        var     LAMPS, 1                ; port 2 shadow, bit 7 clear
        var     SCNROW, 1               ; row being scanned
        var     ALARMN, 1               ; beeps left in the alarm

        ; printer (printer.s, the line builder in calc.s)
        var     PCOL, 1                 ; font column 0-4
        var     PPASS, 1                ; dot row 0-6
        var     PNEEDLE, 1              ; needle 0-3
        var     PBIT, 1                 ; the needle's bit
        var     PGROUP, 1               ; group 0-3
        var     PEND, 1                 ; characters before the line's end
        var     PWORK, 1
        var     PPOS, 1                 ; write position in the print buffer

        ; calculator (calc.s)
        var     ENTVAL, 4               ; the entry in tenths
        var     ENTON, 1                ; digits typed since the last clear
        var     ENTPT, 1                ; point typed
        var     ENTFD, 1                ; fraction digit typed
        var     FUNC, 1                 ; the function key chosen (0 = none)
        var     INFLAGS, 1              ; inputs given, F_S ... F_Z
        var     ERRFLAG, 1              ; E on show
        var     PRINTON, 1              ; printing results
        var     GUSED, 1                ; the calculation used the gauge
        var     RKIND, 1                ; kind of the result loaded
        var     KEYSAVE, 1
        var     T1, 4
        var     T2, 4
        var     NEWS, 4                 ; a new gauge being checked
        var     NEWR, 4

        ; kept while the device is off, as battery-backed memory is
        var     GAUGE_S, 4              ; stitches per 10 cm, tenths
        var     GAUGE_R, 4              ; rows per 10 cm, tenths
        var     GAUGE_OK, 1             ; GAUGE_MARK when the gauge is held
        var     GAUGE_CHK, 1            ; its complement
        var     UNITS, 1                ; UNITS_IN: inches, else centimetres
        var     UNITS_CHK, 1            ; its complement
        var     PBMAP, 1                ; printing a block: "bd" reads IN in inches

; ------------------------------------------------------- region B
        .section .ram.b,"aw",@nobits
        ; inputs in tenths, four bytes each in the order S R X Y Z
        var     IN_S, 4
        var     IN_R, 4
        var     IN_X, 4
        var     IN_Y, 4
        var     IN_Z, 4

        ; shaping (shape.s)
        var     SH_N, 4
        var     SH_K, 4
        var     SH_Q, 4
        var     SH_R, 4
        var     SH_U, 4
        var     SH_P, 4                 ; rows left plain
        var     SH_X, 4
        var     SH_Y, 4
        var     SH_C1, 4
        var     SH_KIND, 1              ; schedule amount kind (sign)
        var     SH_MUL, 1
        var     SH_CNT, 1               ; inputs are counts, not centimetres
        var     SH_UNITS, 1             ; X Y Z typed as counts (M/T lit)
        var     SH_DIR, 1               ; 0 stitches, 1 rows
        var     CP_W, 4                 ; sleeve cap: X - Z in tenths,
        var     CP_LO, 4                ; bounds of the height searched
        var     CP_HI, 4
        var     CP_MID, 4
        var     CP_A, 4                 ; w in cm * 2^20

; ------------------------------------------------------- region C
        .section .ram.c,"aw",@nobits
        ; arc length (shape.s), in cm * 2^20
        var     AR_A, 4
        var     AR_B, 4
        var     AR_G, 4
        var     AR_S, 8                 ; a^2 - the sum of the c_n^2 terms
        var     AR_K, 1                 ; the next term's weight, 2^k
        var     RESN, 1                 ; results held
        var     RESI, 1                 ; result on show
        var     RESFULL, 1              ; a result did not fit

; ------------------------------------------------------- region D
        .section .ram.d,"aw",@nobits
        ; results: kinds, then 16-bit values
        var     RESK, RESMAX
        var     RESV, 2 * RESMAX

        ; the staircase (shape.s)
        var     ST_BP, BPMAX            ; per step: predecessors, then the path
        var     ST_X, 2                 ; stitches
        var     ST_M, 2                 ; two-row steps
        var     ST_PL, 2                ; steps in the steep part
        var     ST_DP, 1                ; delta in sixteenths of a stitch
        var     ST_LO, 1                ; delta search bounds
        var     ST_HI, 1
        var     ST_I, 2                 ; step
        var     ST_C, 2                 ; stitches cast off so far
        var     ST_AP, 8                ; largest step reaching each state,
        var     ST_AC, 8                ; before and at this step
        var     ST_LP, 2                ; lowest state before and at this step
        var     ST_LC, 2
        var     ST_UC, 2                ; highest state at this step
        var     ST_NP, 1                ; states before and at this step
        var     ST_NC, 1
        var     ST_TUV, 2               ; uncapped upper edge, nearest value
        var     ST_RV, 2
        var     ST_EX, 1                ; the square root was exact
        var     ST_J, 1
        var     ST_K, 1
        var     ST_BEST, 2
        var     ST_PRED, 1
        var     ST_BPB, 1
        var     ST_NEED, 2              ; lowest start of the gentle part
        var     ST_END, 1               ; chosen state at the end of the steep part
        var     ST_RA, 2                ; the line being gathered: amount,
        var     ST_RG, 2                ; steps apart, times
        var     ST_RN, 2
        var     ST_Z, 2                 ; empty steps since the last shaping
        var     ST_T, 2
        var     ST_U1, 2                ; 16-bit scratch
        var     ST_U2, 2
        var     ST_DL, 2
        var     ST_S, 2
        var     ST_AV, 2
        var     ST_K16, 2
        var     ST_MID, 1
        var     ST_EMIT, 1              ; the nearest staircase is wanted

        ; the staircase's wide numbers, in region A for room
        .section .ram.a,"aw",@nobits
        var     ST_XX, 4                ; X^2
        var     ST_MM, 4                ; m^2
        var     ST_M16, 4               ; 16 m
        var     ST_PM, 4                ; p m
        var     ST_W, 8                 ; 256 X^2 i (2m - i) = (16 E(i) m)^2
        var     ST_DW, 8                ; its next increase
        var     ST_G2, 8                ; 512 X^2: how the increase shrinks
        var     ST_M512, 8              ; 512 m^2
        var     ST_TL, 19               ; trackers: lower edge, upper edge,
        var     ST_TU, 19               ; nearest
        var     ST_TR, 19

        ; the even spread (spread.s) works while no cap, arc or staircase
        ; does, in their room
        .macro  alias name, at
        .globl  \name
        .set    \name, \at
        .endm
        alias   SP_T, CP_W              ; the sum of the sizes
        alias   SP_N, CP_LO             ; how many sizes
        alias   SP_A, CP_HI             ; Euclid's pair
        alias   SP_B, CP_MID
        alias   SP_P0, CP_A             ; the convergent before
        alias   SP_S0, AR_A
        alias   SP_P, AR_B              ; the convergent p / s
        alias   SP_S, AR_G
        alias   SP_M, AR_S              ; its repeats
        alias   SP_Q, ST_U1             ; 16-bit: the pattern's sizes,
        alias   SP_R, ST_U2             ; p div s and p mod s
        alias   SP_GS, ST_DL            ; sizes in the part
        alias   SP_REM, ST_S            ; the running remainder
        alias   SP_CNT, ST_AV           ; sizes left in the part
        alias   SP_TOK, ST_K16          ; the size
        alias   SP_TMP, ST_T
        alias   SP_RV, ST_RA            ; the run: its size, how many
        alias   SP_RC, ST_RN
        alias   SP_MC, ST_RG            ; repeats left
        alias   SP_UP, ST_MID           ; parts round up
        alias   SP_GRP, ST_J            ; K_IN per column the lines stand in
        alias   SP_GAP, ST_K            ; sizes are rows between shapings
        alias   SP_CV, ST_BP            ; the convergents p, s and quotients
        alias   SP_K, ST_EX             ; a convergent's place in them
        alias   SP_D, ST_END            ; the depth of the word at work
        alias   SP_TSP, ST_NEED         ; the words still to come: the end
        alias   SP_TASKS, ST_TL         ; of the list, the list
        alias   SP_GP, ST_LC            ; the part generated: sum, sizes
        alias   SP_GN, ST_UC
        alias   SP_EXACT, ST_BPB        ; the rest: its exact word
