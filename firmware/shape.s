; The shaping functions: dividing (both forms), slanting line, curve line
; with its arc length, and sleeve cap. Each turns its inputs into whole
; stitches and rows, then lists a schedule whose lines add up exactly.
; Schedule lines are results in threes: amount (its kind gives the sign),
; rows (or stitches) between, times.

        .include "defs.inc"
        .include "macros.inc"

        .globl shape_compute

        .equ MAX_STEP, 6                ; stitches one two-row step of a slant carries
        .equ PI10_HI, 0xFB53            ; 10 pi 2^27 = 0xFB53D14B, to the nearest
        .equ PI10_LO, 0xD14B

        ; one result: A = its kind, the value in ACC
        .macro  result kind
        ldaa    #\kind
        jsr     res_add
        .endm


        .sect .text.shape,"ax"

; ------------------------------------------------------------ helpers
; Z set when ACC = OPR.
eq32:   ldaa    ACC
        cmpa    OPR
        bne     1f
        ldaa    ACC+1
        cmpa    OPR+1
        bne     1f
        ldaa    ACC+2
        cmpa    OPR+2
        bne     1f
        ldaa    ACC+3
        cmpa    OPR+3
1:      rts

; ACC = |ACC - OPR|; C set when OPR was the larger.
        .globl  absdiff
absdiff:
        jsr     sub32
        bcc     1f
        com     ACC                     ; negate: complement and add one
        com     ACC+1
        com     ACC+2
        com     ACC+3
        bsr     acc_inc
        sec
1:      rts

; ACC = an input in tenths as a whole count in direction B (0 stitches,
; 1 rows): typed as a count (SH_CNT) it must be whole, typed in cm it goes
; through the gauge. C set when the count has a decimal, the gauge is
; missing or the count needs more than four digits.
to_dir: tst     SH_CNT
        beq     1f
        ldx     #ACC                    ; counts: whole only
        jsr     ld_count
        bcs     9f
        bra     3f
1:      pshb
        jsr     gauge_missing
        pulb
        bcs     9f
        ldaa    #1
        staa    GUSED
        jsr     unit_t2
        mov32   T1, GAUGE_S
        tstb
        beq     2f
        mov32   T1, GAUGE_R
2:      jsr     muldivround
        bcs     9f
3:      jmp     fits4
9:      rts

; ------------------------------------------------------------ dispatch
shape_compute:
        clr     SH_UNITS
        clr     SH_CNT
        ldaa    FUNC
        cmpa    #FN_G
        bcs     1f
        cmpa    #FN_I
        bcc     1f
        ldaa    LAMPS                   ; slant and curve: M/T lit, counts
        anda    #LAMP_MT
        beq     1f
        ldaa    #1
        staa    SH_UNITS
        staa    SH_CNT
1:      ldaa    FUNC
        cmpa    #FN_G
        bcs     calc_divide
        bne     2f
        jmp     calc_slant
2:      cmpa    #FN_H
        bne     3f
        jmp     calc_curve
3:      jmp     calc_cap

fail:   sec
        rts

; One schedule line: amount ACC, between T1, times T2, the sign in SH_KIND.
        .globl  sched_line
sched_line:
        ldaa    SH_KIND
        jsr     res_add
        mov32   ACC, T1
        result  K_SCHR
        mov32   ACC, T2
        result  K_SCHN
        rts

; ------------------------------------------------------------ dividing
; k events (Z) over n stitches or rows: n typed as a count (S, R) or in cm
; (X, Y). With q = n div k, r = n mod k: k - r at every q-th and r at every
; (q+1)-th; F instead: k at every q-th, then r plain. With k > n each
; stitch or row carries k div n or one more (both keys).
calc_divide:
        ldaa    INFLAGS
        anda    #F_Z
        beq     fail
        ldx     #IN_Z                   ; k: a whole count
        jsr     ld_count
        bcs     fail
        jsr     fits4
        bcs     fail
        tst32   ACC
        beq     fail
        sacc    SH_K
        ldaa    INFLAGS
        anda    #F_S | F_R | F_X | F_Y
        ldab    #1                      ; S, R: counts
        ldx     #IN_S
        cmpa    #F_S
        beq     1f
        ldx     #IN_R
        cmpa    #F_R
        beq     2f
        clrb                            ; X, Y: centimetres
        ldx     #IN_X
        cmpa    #F_X
        beq     1f
        ldx     #IN_Y
        cmpa    #F_Y
        bne     fail                    ; none, or more than one
2:      ldaa    #1                      ; rows
        bra     3f
1:      clra                            ; stitches
3:      stab    SH_CNT
        staa    SH_DIR
        jsr     ldacc
        ldab    SH_DIR
        jsr     to_dir
        bcs     fail
        tst32   ACC
        beq     fail
        sacc    SH_N
        tst     SH_CNT                  ; from cm: n in stitches or rows
        bne     4f
        ldaa    #K_ST
        adda    SH_DIR                  ; K_ROWS follows K_ST
        jsr     res_add
4:      ldaa    #K_SCH
        staa    SH_KIND
        lacc    SH_N
        lopr    SH_K
        jsr     sub32
        bcs     6f                      ; k > n: several at each place
        lacc    SH_N                    ; q, r
        lopr    SH_K
        jsr     div32
        sacc    SH_Q
        mov32   SH_R, REM
        ldaa    FUNC
        cmpa    #FN_F
        beq     5f
        mov32   SP_T, SH_N              ; E: n places over k, evenly
        mov32   SP_N, SH_K
        ldaa    #1
        bra     div_spread
5:      mov32   T1, SH_Q                ; F: 1/q/k, then r plain
        mov32   T2, SH_K
        ldi32   ACC, 1
        jsr     sched_line
        tst32   SH_R
        beq     9f
        lacc    SH_R
        ldaa    #K_PLAINS               ; stitches, or rows, left plain
        tst     SH_DIR
        beq     7f
        ldaa    #K_PLAINR
7:      jsr     res_add
        clc
        rts
6:      mov32   SP_T, SH_K              ; k > n: k over n places, evenly
        mov32   SP_N, SH_N
        clra
div_spread:
        staa    SP_GAP
        ldaa    #1
        staa    SH_MUL
        jsr     spread
9:      clc
        rts

        .sect .text.slant,"ax"

; ------------------------------------------------------------ slanting line
; From width X to width Z over height Y (MODE lit: per side, half the
; difference to the nearest at each edge), shaped at two-row steps: D
; stitches over U = rows div 2 steps, one every 2q rows or 2q + 2;
; steeper than a stitch a step, each step carries q or q + 1 stitches (at
; most MAX_STEP). An odd row is left plain at the end. Per side with an odd
; difference, the piece ends a stitch off the width asked: ST AT END.
calc_slant:
        ldaa    INFLAGS
        anda    #F_X | F_Y | F_Z
        cmpa    #F_X | F_Y | F_Z
        bne     fail2
        lacc    IN_X
        clrb
        jsr     to_dir
        bcs     fail2
        sacc    SH_X
        lacc    IN_Z
        clrb
        jsr     to_dir
        bcs     fail2
        sacc    SH_N
        lacc    IN_Y
        ldab    #1
        jsr     to_dir
        bcs     fail2
        sacc    SH_Y
        lacc    SH_X                    ; D = |X - Z|, "+" when widening
        lopr    SH_N
        jsr     absdiff
        ldab    #K_SCHM
        bcc     1f
        ldab    #K_SCHP
1:      stab    SH_KIND
        sacc    SH_C1                   ; the whole difference
        ldaa    LAMPS
        anda    #LAMP_MODE
        beq     2f
        ldab    #2                      ; per side, to the nearest
        jsr     opr_b
        jsr     divround
2:      tst32   ACC
        beq     fail2
        sacc    SH_K
        tst     SH_UNITS                ; the stitches it starts from
        bne     12f
        lacc    SH_X
        result  K_STFROM
        lacc    SH_K
12:     ldaa    #K_LOSE
        ldab    SH_KIND
        cmpb    #K_SCHP
        bne     3f
        ldaa    #K_ADD
3:      jsr     res_add
        tst     SH_UNITS                ; the rows, unless typed as rows
        bne     4f
        lacc    SH_Y
        result  K_ROWS
4:      lacc    SH_Y
        ldab    #2
        jsr     opr_b
        jsr     div32
        sacc    SH_U
        tst32   ACC
        beq     fail2
        mov32   SH_P, REM
        lacc    SH_U
        lopr    SH_K
        jsr     sub32
        bcs     5f                      ; more stitches than steps
        mov32   SP_T, SH_U              ; D over U steps, evenly
        mov32   SP_N, SH_K
        ldaa    #1
        bra     14f
5:      lacc    SH_K                    ; steeper: q or q + 1 a step,
        lopr    SH_U                    ; q = D div U
        jsr     div32
        tst32   REM                     ; the largest step must be carried
        beq     6f
        jsr     acc_inc
6:      ldi32   OPR, MAX_STEP + 1
        jsr     sub32
        bcc     fail2
        mov32   SP_T, SH_K              ; D over U steps, evenly
        mov32   SP_N, SH_U
        clra
14:     staa    SP_GAP
        ldaa    #2
        staa    SH_MUL
        jsr     spread
7:      tst32   SH_P                    ; an odd row plain
        beq     8f
        lacc    SH_P
        result  K_PLAINR
8:      tst     SH_UNITS                ; where the piece ends: in cm
        beq     12f                     ; always, in counts when not as
        ldaa    LAMPS                   ; typed (per side, an odd
        anda    #LAMP_MODE              ; difference)
        beq     9f
        ldaa    SH_C1+3
        lsra
        bcc     9f
12:     lacc    SH_K                    ; X +- D, per side X +- 2 D
        ldaa    LAMPS
        anda    #LAMP_MODE
        beq     13f
        jsr     accopr
        jsr     add32
13:     mov32   OPR, ACC
        lacc    SH_X
        ldab    SH_KIND
        cmpb    #K_SCHP
        beq     10f
        jsr     sub32
        bra     11f
10:     jsr     add32
11:     jsr     fits4
        bcs     fail2
        result  K_END
9:      clc
        rts

fail2:  sec
        rts

; ------------------------------------------------------------ curve line
; A quarter ellipse of width X and height Y: stitches S and rows R (unless
; typed as counts), the staircase, the plain rows, and the arc length L in
; cm: of the ellipse typed in cm, or of the counts through the gauge (with
; M/T lit; without a gauge there is none).
calc_curve:
        ldaa    INFLAGS
        anda    #F_X | F_Y
        cmpa    #F_X | F_Y
        bne     fail2
        lacc    IN_X
        clrb
        jsr     to_dir
        bcs     fail2
        sacc    SH_X
        tst32   ACC
        beq     fail2
        lacc    IN_Y
        ldab    #1
        jsr     to_dir
        bcs     fail2
        sacc    SH_Y
        tst     SH_UNITS
        bne     1f
        lacc    SH_X
        result  K_ST
        lacc    SH_Y
        result  K_ROWS
1:      jsr     curve_steps
        bcs     fail2
        tst     SH_CNT
        bne     2f
        lacc    IN_X                    ; the ellipse typed
        jsr     fix_tenths
        sacc    AR_A
        lacc    IN_Y
        jsr     fix_tenths
        sacc    AR_B
        bra     3f
2:      jsr     gauge_missing
        bcs     9f                      ; counts without a gauge: no length
        jsr     fix_counts
        bcs     fail2
3:      jsr     arc_result
        bcs     fail2
9:      clc
        rts

; The staircase of SH_X stitches over SH_Y rows: m = rows div 2 two-row
; steps, the odd row plain. C set when there is none.
curve_steps:
        lacc    SH_Y
        ldab    #2
        jsr     opr_b
        jsr     div32
        tst32   ACC
        beq     1f
        mov32   SH_P, REM
        sacc16  ST_M
        mov16   ST_X, SH_X+2
        jmp     stair
1:      sec
        rts

; AR_A, AR_B = SH_X stitches and SH_Y rows in cm * 2^20 through the gauge.
; C set when one is over 1024 cm.
fix_counts:
        lacc    SH_X
        mov32   T2, GAUGE_S
        bsr     fix_count
        bcs     1f
        sacc    AR_A
        lacc    SH_Y
        mov32   T2, GAUGE_R
        bsr     fix_count
        bcs     1f
        sacc    AR_B
1:      rts

; ACC = a count, T2 = its gauge -> ACC = count * 100 / gauge cm * 2^20,
; or count * 40 / gauge in * 2^20.
fix_count:
        ldaa    #1
        staa    GUSED
        clr     T1+2
        clr     T1+3
        ldaa    #0x40                   ; 100 * 2^20 = 0x06400000
        staa    T1+1
        ldaa    #0x06
        staa    T1
        jsr     units_in
        bcc     1f
        clr     T1+1                    ; 40 * 2^20 = 0x02800000
        ldaa    #0x02
        staa    T1
        ldaa    #0x80
        staa    T1+1
1:      jmp     muldiv64

; ACC = tenths of a cm -> ACC = cm * 2^20.
fix_tenths:
        ldi32   T2, 10
        ; fall through

; ACC = ACC * 2^20 / T2 rounded. C set when it is 2^30 or more.
fix_ratio:
        clr32   T1
        ldaa    #0x10                   ; 2^20
        staa    T1+1
        ; fall through

; ACC = ACC * T1 / T2 rounded, with a 64-bit product; C set when the
; quotient is 2^30 or more.
muldiv64:
        mov32   OPR, T1
        jsr     mul32
        mov32   OPR64, ACC64            ; + T2 / 2
        mov32   OPR64+4, ACC
        clr32   ACC64
        mov32   ACC, T2
        ldx     #ACC
        jsr     lsr32
        jsr     add64
        mov32   OPR, T2
        jsr     div64
        bcs     1f
        tst32   ACC64
        bne     1f
        ldaa    ACC
        anda    #0xC0
        bne     1f
        clc
        rts
1:      sec
        rts

; The arc length of AR_A by AR_B as the result L (tenths, to the nearest).
; C set when it needs more than four digits.
arc_result:
        jsr     arc
        ldab    ACC64+1                 ; + 2^48, then the top 15 bits
        ldaa    ACC64
        incb
        bne     2f
        inca
2:      lsra
        rorb
        staa    ACC+2
        stab    ACC+3
        clr     ACC
        clr     ACC+1
        jsr     fits4
        bcs     1f
        result  K_ARC | DEC1
        clc
1:      rts

        .sect .text.curve,"ax"

; ------------------------------------------------------------ sleeve cap
; Upper-arm width X, armhole length along its curve Y (front or back: each
; side of the cap matches one), top width Z, all in cm. Each side of the
; cap narrows by w = (X - Z) / 2 along a quarter ellipse whose arc length is
; Y: the height H is the exact height to the nearest 0.1 cm, found as the
; largest H whose ellipse at H - 0.05 cm is no longer than Y. Results: H,
; rows R, the stitches left at the top, the stitches S to lose each side,
; their staircase, the plain rows and the arc length L the schedule makes.
calc_cap:
        jsr     gauge_missing
        bcs     fail3
        ldaa    INFLAGS
        anda    #F_X | F_Y | F_Z
        cmpa    #F_X | F_Y | F_Z
        bne     fail3
        lacc    IN_X                    ; X - Z = 2 w, in tenths
        lopr    IN_Z
        jsr     sub32
        bcs     fail3                   ; top wider than the arm
        tst32   ACC
        beq     fail3
        mov32   CP_W, ACC
        ldi32   T2, 20                  ; a = w in cm * 2^20
        jsr     fix_ratio
        sacc    CP_A
        lacc    IN_Y                    ; the armhole must be longer than w
        jsr     accopr
        jsr     add32
        lopr    CP_W
        jsr     sub32
        bcs     fail3
        tst32   ACC
        beq     fail3
        clr32   CP_LO                   ; H in tenths: lo <= H <= hi
        mov32   CP_HI, IN_Y
1:      lacc    CP_HI
        lopr    CP_LO
        jsr     eq32
        beq     3f
        jsr     add32                   ; mid = (lo + hi + 1) / 2
        jsr     acc_inc
        ldab    #2
        jsr     opr_b
        jsr     div32
        mov32   CP_MID, ACC
        jsr     accopr                  ; b = mid - 0.05 cm = (2 mid - 1) / 20
        jsr     add32
        ldab    #1
        jsr     opr_b
        jsr     sub32
        ldi32   T2, 20
        jsr     fix_ratio
        sacc    AR_B
        mov32   AR_A, CP_A
        jsr     arc                     ; arc <= Y: at least mid
        mov64   OPR64, ACC64
        clr32   ACC64
        clr32   ACC
        ldaa    IN_Y+2                  ; Y 2^49
        ldab    IN_Y+3
        aslb
        rola
        staa    ACC64
        stab    ACC64+1
        jsr     cmp64                   ; Y 2^49 < arc: below mid
        bcs     2f
        mov32   CP_LO, CP_MID
        bra     1b
2:      lacc    CP_MID
        ldab    #1
        jsr     opr_b
        jsr     sub32
        mov32   CP_HI, ACC
        bra     1b
3:      lacc    CP_LO
        result  K_HIGH | DEC1
        lacc    CP_LO                   ; its rows through the gauge
        mov32   T1, GAUGE_R
        jsr     unit_t2
        jsr     muldivround
        bcs     fail3
        jsr     fits4
        bcs     fail3
        sacc    SH_Y
        result  K_ROWS
        lacc    IN_X                    ; the stitches each side loses; an
        clrb                            ; odd one stays at the top
        jsr     to_dir
        bcs     fail3
        sacc    SH_N
        lacc    IN_Z
        clrb
        jsr     to_dir
        bcs     fail3
        jsr     accopr
        lacc    SH_N
        jsr     sub32
        ldab    #2
        jsr     opr_b
        jsr     div32
        tst32   ACC
        beq     fail3
        sacc    SH_X
        lacc    SH_N                    ; the arm's stitches
        result  K_ARMST
        lacc    SH_X
        jsr     accopr                  ; left at the top: arm - 2 S
        jsr     add32
        jsr     accopr
        lacc    SH_N
        jsr     sub32
        result  K_TOPST
        lacc    SH_X
        result  K_SIDE
        jsr     curve_steps
        bcs     fail3
        jsr     fix_counts              ; the length the schedule makes
        bcs     fail3
        jmp     arc_result

fail3:  sec
        rts

; ------------------------------------------------------------ arc length
; ACC64 = P, the arc length of a quarter ellipse with half-axes AR_A and
; AR_B (cm * 2^20, below 2^30 each) in tenths of a cm * 2^49. Exact but for
; the last bits, by the arithmetic-geometric mean: with a_0 = a, g_0 = b,
; c_0^2 = a^2 - b^2, a_n+1 = (a_n + g_n) / 2, g_n+1 = sqrt(a_n g_n),
; c_n+1 = (a_n - g_n) / 2, the quarter is pi S / (2 M) where M is the mean
; and S = a^2 - sum of 2^(n-1) c_n^2 = (a^2 + b^2) / 2 - sum over n >= 1.
; P = 2 S / M * 10 pi 2^27. AR_A and AR_B are used up.
arc:    lacc    AR_A                    ; S = (a^2 + b^2) / 2
        jsr     accopr
        jsr     mul32
        mov64   AR_S, ACC64
        lacc    AR_B
        jsr     accopr
        jsr     mul32
        mov64   OPR64, AR_S
        jsr     add64
        ldx     #ACC64
        jsr     lsr64
        mov64   AR_S, ACC64
        clr     AR_K
1:      lacc    AR_A                    ; c = (a - g) / 2, done when a - g <= 1
        lopr    AR_B
        jsr     absdiff
        ldx     #ACC
        jsr     lsr32
        tst32   ACC
        beq     3f
        jsr     accopr                  ; S -= c^2 2^k
        jsr     mul32
        ldab    AR_K
        beq     2f
4:      ldx     #ACC64
        jsr     asl64
        decb
        bne     4b
2:      mov64   OPR64, ACC64
        mov64   ACC64, AR_S
        jsr     sub64
        mov64   AR_S, ACC64
        inc     AR_K
        lacc    AR_A                    ; g = sqrt(a g)
        lopr    AR_B
        jsr     add32
        mov32   AR_G, ACC
        lacc    AR_A
        jsr     mul32
        jsr     isqrt64
        sacc    AR_B
        lacc    AR_G                    ; a = (a + g) / 2
        ldx     #ACC
        jsr     lsr32
        sacc    AR_A
        bra     1b
3:      mov64   ACC64, AR_S             ; q = 2 S / M
        ldx     #ACC64
        jsr     asl64
        lopr    AR_A
        jsr     div64
        ldi32   OPR, PI10_LO            ; P = q 10 pi 2^27
        ldaa    #PI10_HI >> 8
        staa    OPR
        ldaa    #PI10_HI & 0xFF
        staa    OPR+1
        jmp     mul32
