; The staircase of a curve: X stitches cast off over m two-row steps along
; the quarter ellipse E(i) = X sqrt(1 - ((m - i) / m)^2), so that the
; stitches cast off at a shaping never grow and C(i), the stitches off
; after step i, stays as close to E(i) as such a staircase can: the
; smallest delta (in sixteenths of a stitch, below 2) for which one exists
; with |C(i) - E(i)| <= delta at every step, found by halving.
;
; For one delta, the band of step i is L(i) = ceil(E(i) - delta) to
; U(i) = floor(E(i) + delta), worked exactly: with
; W(i) = 256 X^2 i (2m - i) = (16 m E(i))^2 and r = isqrt(W),
; U = floor((r + p m) / 16 m) and L = ceil((r + [W not square] - p m) / 16 m)
; for delta = p / 16.
;
; The steep part, steps 1 to P where the ellipse can still rise by a stitch
; or more in a step, is searched completely: for each state of the band,
; the largest last shaping that reaches it (a larger last shaping leaves
; more room), with the way back kept in two bits a state. After it every
; step rises by less than a stitch, so single stitches (or none) do, and
; the bands are followed by trackers that move their edges with squares
; instead of square roots. The listing chosen in that gentle part is the
; nearest: floor(E + 1/2) as far as the band and the end allow.

        .include "defs.inc"
        .include "macros.inc"

        .globl stair

        .sect .text.stair,"ax"

; ------------------------------------------------------------ the search
; ST_X stitches (1-9999) over ST_M steps (1-4999): the schedule lines and
; the plain rows (2 per empty step at the top, and SH_P) as results. C set
; when no staircase within two stitches exists or the steep part is too
; long to trace back (its listing would not fit anyway).
stair:
        lacc16  ST_X                    ; the curve's constants
        jsr     square
        sacc    ST_XX
        lacc16  ST_M
        jsr     square
        sacc    ST_MM
        lacc16  ST_M
        ldab    #16
        jsr     mul_b
        sacc    ST_M16
        jsr     steep_part
        ldx     ST_PL
        cpx     #BPMAX+1
        bcc     9f
        ldaa    #16                     ; within one stitch?
        jsr     stair_try
        bcs     1f
        clr     ST_LO
        ldaa    #16
        bra     2f
1:      ldaa    #31                     ; within two?
        jsr     stair_try
        bcs     9f
        ldaa    #17
        staa    ST_LO
        ldaa    #31
2:      staa    ST_HI
3:      ldaa    ST_LO                   ; the smallest delta that works
        cmpa    ST_HI
        bcc     5f
        adda    ST_HI
        lsra
        staa    ST_MID
        jsr     stair_try
        ldaa    ST_MID
        bcs     4f
        staa    ST_HI
        bra     3b
4:      inca
        staa    ST_LO
        bra     3b
5:      ldaa    ST_HI
        jsr     stair_try
        bcs     9f
        jmp     stair_build
9:      sec
        rts

; P: the first k with X^2 (m - k)^2 < m^2 k (2m - k), where the slope of the
; ellipse, X (m - k) / (m sqrt(k (2m - k))), falls below a stitch a step;
; every step after it rises by less than one. Halving over 1 to m.
steep_part:
        ldi16   ST_U1, 1
        mov16   ST_U2, ST_M
1:      ldx     ST_U1
        cpx     ST_U2
        bcc     3f
        add16   ST_T, ST_U1, ST_U2      ; k = (lo + hi) / 2
        ldaa    ST_T
        lsra
        staa    ST_T
        ldaa    ST_T+1
        rora
        staa    ST_T+1
        sub16   ST_S, ST_M, ST_T        ; X^2 (m - k)^2
        lacc16  ST_S
        lopr16  ST_X
        jsr     mul32
        jsr     square
        mov64   ST_W, ACC64
        add16   ST_S, ST_S, ST_M        ; m^2 k (2m - k)
        lacc16  ST_S
        lopr16  ST_T
        jsr     mul32
        lopr    ST_MM
        jsr     mul32
        mov64   OPR64, ACC64
        mov64   ACC64, ST_W
        jsr     cmp64
        bcc     2f
        mov16   ST_U2, ST_T             ; holds: P <= k
        bra     1b
2:      ldx     ST_T
        inx
        stx     ST_U1
        bra     1b
3:      mov16   ST_PL, ST_U1
        rts

; A = p: is there a staircase within p / 16 of a stitch? C set when not;
; else ST_END is the state to end the steep part in.
stair_try:
        staa    ST_DP
        lacc16  ST_M
        ldab    ST_DP
        jsr     mul_b
        sacc    ST_PM
        ldi16   ST_LP, 0                ; step 0: at 0, no shaping yet
        ldaa    #1
        staa    ST_NP
        ldi16   ST_AP, 0xFFFF
        ldi16   ST_I, 0
1:      ldx     ST_I
        inx
        stx     ST_I
        jsr     band_at
        bcs     9f
        jsr     dp_step
        bcs     9f
        ldx     ST_I
        cpx     ST_PL
        bne     1b
        ldi16   ST_NEED, 0
        ldx     ST_PL
        cpx     ST_M
        beq     2f
        clr     ST_EMIT
        jsr     tail_check
        bcs     9f
2:      jmp     choose_end
9:      rts

; ------------------------------------------------------------ bands
; ACC64 = 256 X^2 i (2m - i), the square of 256 m E(i) at step ST_I.
ellipse_w:
        add16   ST_U1, ST_M, ST_M
        sub16   ST_U1, ST_U1, ST_I
        lacc16  ST_U1
        lopr16  ST_I
        jsr     mul32
        lopr    ST_XX
        jsr     mul32
        jmp     shl8

; ST_W = ACC64, T1 = floor(sqrt(W)), ST_EX = 1 when the root is exact.
w_root:
        mov64   ST_W, ACC64
        jsr     isqrt64
        mov32   T1, ACC
        jsr     square
        mov64   OPR64, ST_W
        jsr     cmp64
        bne     1f
        ldaa    #1
        bra     2f
1:      clra
2:      staa    ST_EX
        rts

; The band of step ST_I: ST_LC to ST_UC (ST_NC states, at most 4), the
; uncapped upper edge ST_TUV and the nearest floor(E + 1/2) ST_RV; ST_W is
; W(i). The last step's band is X alone. C set when the band is empty.
band_at:
        ldx     ST_I
        cpx     ST_M
        bne     1f
        mov16   ST_LC, ST_X
        mov16   ST_UC, ST_X
        mov16   ST_TUV, ST_X
        mov16   ST_RV, ST_X
        ldaa    #1
        staa    ST_NC
        clc
        rts
1:      jsr     ellipse_w               ; W = 256 X^2 i (2m - i)
        jsr     w_root                  ; r
        lacc    T1                      ; U = (r + p m) / 16 m
        lopr    ST_PM
        jsr     add32
        lopr    ST_M16
        jsr     div32
        sacc16  ST_TUV
        ldx     ST_TUV
        cpx     ST_X
        bls     4f
        ldx     ST_X
4:      stx     ST_UC
        lacc16  ST_M                    ; R = (r + 8 m) / 16 m
        ldab    #8
        jsr     mul_b
        lopr    T1
        jsr     add32
        lopr    ST_M16
        jsr     div32
        sacc16  ST_RV
        lacc    T1                      ; L = ceil((r + inexact - p m) / 16 m)
        tst     ST_EX
        bne     5f
        jsr     acc_inc
5:      lopr    ST_PM
        jsr     sub32
        bcs     6f
        tst32   ACC
        beq     6f
        lopr    ST_M16
        jsr     add32
        jsr     acc_dec
        lopr    ST_M16
        jsr     div32
        sacc16  ST_LC
        bra     7f
6:      ldi16   ST_LC, 0
7:      ; fall through

; ST_NC = the states from ST_LC to ST_UC, 1 to 4; C set when there are
; none or more.
band_states:
        sub16   ST_U1, ST_UC, ST_LC
        bcc     8f
        ldaa    ST_U1
        bne     8f
        ldaa    ST_U1+1
        cmpa    #4
        bcc     8f
        inca
        staa    ST_NC
        clc
        rts
8:      sec
        rts

; ACC64 <<= 8.
shl8:   ldx     #ACC64
        .irp    n, 0, 1, 2, 3, 4, 5, 6
        ldaa    \n+1,x
        staa    \n,x
        .endr
        clr     7,x
        rts

; ------------------------------------------------------------ steep part
; One step of the search: for each state c' of this band (ST_LC + j), the
; largest last shaping of a staircase that reaches it within the bands, and
; which state of the step before it comes from. A state reached by no
; shaping yet carries 0xFFFF, one not reached 0. From state c of the step
; before: no shaping keeps its largest; a shaping s = c' - c of at least 1
; needs s no larger than c's largest. The lowest such c gives the largest s.
; C set when no state is reached.
dp_step:
        sub16   ST_DL, ST_LC, ST_LP     ; c' - c = DL + j - k
        clr     ST_BPB
        clr     ST_J
1:      ldi16   ST_BEST, 0
        clr     ST_PRED
        ldaa    ST_DL+1                 ; t = DL + j
        adda    ST_J
        staa    ST_U2+1
        ldaa    ST_DL
        adca    #0
        staa    ST_U2
        bne     3f                      ; no shaping: from c = c' (k = t)
        ldaa    ST_U2+1
        cmpa    ST_NP
        bcc     3f
        staa    ST_PRED
        asla
        xindex  ST_AP
        ldaa    0,x
        ldab    1,x
        staa    ST_BEST
        stab    ST_BEST+1
3:      clr     ST_K                    ; shaping s = t - k from c = LP + k
        clr     ST_K16
4:      ldaa    ST_K
        cmpa    ST_NP
        bcc     8f
        staa    ST_K16+1
        asla
        xindex  ST_AP
        ldaa    0,x
        ldab    1,x
        staa    ST_AV
        stab    ST_AV+1
        tsta
        bne     5f
        tstb
        beq     7f                      ; c not reached
5:      sub16   ST_S, ST_U2, ST_K16
        bcc     7f                      ; c above c'
        ldx     ST_S
        beq     7f                      ; no shaping: done above
        sub16   ST_T, ST_AV, ST_S
        bcc     7f                      ; larger than c's largest
        sub16   ST_T, ST_BEST, ST_S     ; the largest for this c'
        bcs     8f
        mov16   ST_BEST, ST_S
        ldaa    ST_K
        staa    ST_PRED
        bra     8f
7:      inc     ST_K
        bra     4b
8:      ldaa    ST_J                    ; keep it and the way back
        asla
        xindex  ST_AC
        ldaa    ST_BEST
        staa    0,x
        ldaa    ST_BEST+1
        staa    1,x
        ldab    ST_PRED
        ldaa    ST_J
9:      tsta
        beq     10f
        aslb
        aslb
        deca
        bra     9b
10:     orab    ST_BPB
        stab    ST_BPB
        inc     ST_J
        ldaa    ST_J
        cmpa    ST_NC
        bcs     1b
        ldaa    ST_I+1                  ; the way back of step i
        deca
        xindex  ST_BP
        ldaa    ST_BPB
        staa    0,x
        mov64   ST_AP, ST_AC            ; this step becomes the one before
        mov16   ST_LP, ST_LC
        ldaa    ST_NC
        staa    ST_NP
        ldx     #ST_AP                  ; any state reached?
        ldab    ST_NP
11:     ldaa    0,x
        bne     12f
        ldaa    1,x
        bne     12f
        inx
        inx
        decb
        bne     11b
        sec
        rts
12:     clc
        rts

; Of the states the steep part ends in, the one nearest floor(E + 1/2)
; among those reached that the gentle part can start from (ST_NEED and
; up). C set when there is none.
choose_end:
        ldi16   ST_BEST, 0xFFFF         ; the distance so far
        ldaa    #0xFF
        staa    ST_END
        clr     ST_J
1:      ldaa    ST_J
        cmpa    ST_NP
        bcc     5f
        asla
        xindex  ST_AP
        ldaa    0,x
        bne     2f
        ldaa    1,x
        beq     4f
2:      ldaa    ST_LP+1                 ; c = LP + j
        adda    ST_J
        staa    ST_U1+1
        ldaa    ST_LP
        adca    #0
        staa    ST_U1
        ldx     ST_U1
        cpx     ST_NEED
        bcs     4f
        sub16   ST_U2, ST_U1, ST_RV     ; |c - R|
        bcs     3f
        sub16   ST_U2, ST_RV, ST_U1
3:      ldx     ST_U2
        cpx     ST_BEST
        bcc     4f
        stx     ST_BEST
        ldaa    ST_J
        staa    ST_END
4:      inc     ST_J
        bra     1b
5:      ldaa    ST_END
        cmpa    #0xFF
        beq     6f
        clc
        rts
6:      sec
        rts

        .sect .text.stair2,"ax"

; ------------------------------------------------------------ gentle part
; The trackers follow an edge of the band from step to step: a value u,
; V = (16 u + c)^2 m^2 and Z = V's increase when u grows (c is the edge's
; offset: + p for the lower edge, - p for the upper, - 8 for the nearest).
; u grows while V < W (or V = W where byte 18 says so).
        .equ TRK_V, 2
        .equ TRK_Z, 10
        .equ TRK_EQ, 18

; After band_at(P): W's next increase and the three trackers.
tail_init:
        lacc    ST_XX                   ; the steps' constants (ST_M512
        ldi32   OPR, 512                ; holds the passes' counts in the
                                        ; search)
        jsr     mul32
        mov64   ST_G2, ACC64
        lacc    ST_MM
        ldi32   OPR, 512
        jsr     mul32
        mov64   ST_M512, ACC64
        sub16   ST_U1, ST_M, ST_PL      ; DW = 256 X^2 (2m - 2P - 1)
        add16   ST_U1, ST_U1, ST_U1
        ldx     ST_U1
        dex
        stx     ST_U1
        lacc16  ST_U1
        lopr    ST_XX
        jsr     mul32
        jsr     shl8
        mov64   ST_DW, ACC64
        mov16   ST_TL, ST_LC            ; lower edge: L, c = + p
        clr     ST_TL+TRK_EQ
        lacc16  ST_TL
        jsr     times16
        ldab    ST_DP
        jsr     opr_b
        jsr     add32
        ldx     #ST_TL
        bsr     trk_init
        ldx     ST_TUV                  ; upper edge: U + 1, c = - p
        inx
        stx     ST_TU
        ldaa    #1
        staa    ST_TU+TRK_EQ
        lacc16  ST_TU
        jsr     times16
        ldab    ST_DP
        jsr     opr_b
        jsr     sub32
        ldx     #ST_TU
        bsr     trk_init
        ldx     ST_RV                   ; nearest: R + 1, c = - 8
        inx
        stx     ST_TR
        ldaa    #1
        staa    ST_TR+TRK_EQ
        lacc16  ST_TR
        jsr     times16
        ldab    #8
        jsr     opr_b
        jsr     sub32
        ldx     #ST_TR
        ; fall through

; X = a tracker, ACC = y = 16 u + c: V = (y m)^2, Z = 32 (y + 8) m^2.
trk_init:
        pshx
        mov32   T2, ACC
        lopr16  ST_M
        jsr     mul32
        jsr     square
        pulx
        pshx
        inx
        inx
        bsr     st_acc64
        lacc    T2
        ldab    #8
        jsr     opr_b
        jsr     add32
        ldab    #32
        jsr     mul_b
        lopr    ST_MM
        jsr     mul32
        pulx
        ldaa    #TRK_Z
        jsr     x_plus_a
        ; fall through

; The eight bytes at X = ACC64. Keeps X.
st_acc64:
        .irp    n, 0, 1, 2, 3, 4, 5, 6, 7
        ldaa    ACC64+\n
        staa    \n,x
        .endr
        rts

; ACC *= 16.
times16:
        ldab    #16
        jmp     mul_b

; The next step of the gentle part: W and its increase, the edges.
tail_step:
        clc                             ; W += DW
        .irp    n, 7, 6, 5, 4, 3, 2, 1, 0
        ldaa    ST_W+\n
        adca    ST_DW+\n
        staa    ST_W+\n
        .endr
        sec                             ; DW -= 512 X^2
        .irp    n, 7, 6, 5, 4, 3, 2, 1, 0
        ldaa    ST_G2+\n
        eora    #0xFF
        adca    ST_DW+\n
        staa    ST_DW+\n
        .endr
        ldx     #ST_TL
        bsr     trk_adv
        ldx     #ST_TU
        bsr     trk_adv
        tst     ST_EMIT
        beq     1f
        ldx     #ST_TR
        bsr     trk_adv
1:      rts

; X = a tracker: u grows while its V is below W (or equal, with TRK_EQ).
trk_adv:
1:      .irp    n, 0, 1, 2, 3, 4, 5, 6, 7
        ldaa    TRK_V+\n,x
        cmpa    ST_W+\n
        bne     2f
        .endr
        tst     TRK_EQ,x                ; V = W
        bne     3f
        rts
2:      bcs     3f                      ; V < W
        rts
3:      ldaa    1,x                     ; u + 1
        adda    #1
        staa    1,x
        ldaa    0,x
        adca    #0
        staa    0,x
        clc                             ; V += Z
        .irp    n, 7, 6, 5, 4, 3, 2, 1, 0
        ldaa    TRK_V+\n,x
        adca    TRK_Z+\n,x
        staa    TRK_V+\n,x
        .endr
        clc                             ; Z += 512 m^2
        .irp    n, 7, 6, 5, 4, 3, 2, 1, 0
        ldaa    TRK_Z+\n,x
        adca    ST_M512+\n
        staa    TRK_Z+\n,x
        .endr
        bra     1b

; The lower and upper edge of step ST_I in the gentle part (X alone at the
; last step).
tail_band:
        ldx     ST_I
        cpx     ST_M
        bne     1f
        mov16   ST_LC, ST_X
        mov16   ST_UC, ST_X
        rts
1:      mov16   ST_LC, ST_TL
        ldx     ST_TU
        dex
        cpx     ST_X
        bls     2f
        ldx     ST_X
2:      stx     ST_UC
        rts

; Steps P + 1 to m: every band holds a state, and ST_NEED is the lowest
; state at P from which every lower edge can still be reached, rising a
; stitch a step at most. C set when a band is empty.
tail_check:
        jsr     tail_init
        mov16   ST_I, ST_PL
1:      ldx     ST_I
        inx
        stx     ST_I
        bsr     tail_step
        bsr     tail_band
        ldx     ST_LC
        cpx     ST_UC
        bhi     3f
        add16   ST_U1, ST_LC, ST_PL     ; need >= L + P - i
        sub16   ST_U1, ST_U1, ST_I
        bcc     2f
        ldx     ST_U1
        cpx     ST_NEED
        bls     2f
        stx     ST_NEED
2:      ldx     ST_I
        cpx     ST_M
        bne     1b
        clc
        rts
3:      sec
        rts

; ------------------------------------------------------------ the listing
; After stair_try found the smallest delta: the closest staircase within it
; (dp_search), listed from the start; from the step where the search ended
; on, the nearest floor(E + 1/2) that the gentle part takes.
stair_build:
        jsr     dp_search
        bcc     1f
        rts
1:      ldi16   ST_RN, 0
        ldi16   ST_Z, 0
        ldi16   ST_C, 0
        ldi16   ST_I, 0
4:      ldx     ST_I                    ; the searched steps: C = L + j
        inx
        stx     ST_I
        jsr     dp_band
        ldaa    ST_I+1
        deca
        jsr     path_get
        adda    ST_LC+1
        staa    ST_U1+1
        ldaa    ST_LC
        adca    #0
        staa    ST_U1
        jsr     step_to
        ldx     ST_I
        cpx     ST_PL
        bne     4b
        cpx     ST_M
        beq     5f
        jsr     band_at                 ; the gentle part from step Q on
        jsr     tail_list
5:      jsr     flush
        lacc16  ST_Z                    ; plain: two rows an empty step at
        jsr     accopr                  ; the top, and the odd row
        jsr     add32
        lopr    SH_P
        jsr     add32
        tst32   ACC
        beq     6f
        ldaa    #K_PLAINR
        jsr     res_add
6:      clc
        rts

; The staircase moves to ST_U1 at this step.
step_to:
        sub16   ST_T, ST_U1, ST_C
        mov16   ST_C, ST_U1
        ; fall through

; A step casting off ST_T stitches (0: an empty step). Equal shapings the
; same number of steps apart make one line.
event:  ldx     ST_T
        bne     1f
        ldx     ST_Z
        inx
        stx     ST_Z
        rts
1:      ldx     ST_Z                    ; steps apart
        inx
        stx     ST_U2
        ldi16   ST_Z, 0
        ldx     ST_RN
        beq     2f
        ldx     ST_RA
        cpx     ST_T
        bne     2f
        ldx     ST_RG
        cpx     ST_U2
        bne     2f
        ldx     ST_RN
        inx
        stx     ST_RN
        rts
2:      bsr     flush
        mov16   ST_RA, ST_T
        mov16   ST_RG, ST_U2
        ldi16   ST_RN, 1
        rts

; The line gathered, as "-amount/rows/times".
flush:  ldx     ST_RN
        beq     1f
        lacc16  ST_RA
        ldaa    #K_SCHM
        jsr     res_add
        lacc16  ST_RG
        jsr     accopr
        jsr     add32
        ldaa    #K_SCHR
        jsr     res_add
        lacc16  ST_RN
        ldaa    #K_SCHN
        jsr     res_add
1:      rts

; The gentle part: C' = floor(E + 1/2) kept between max(C, L, X - (m - i))
; and min(C + 1, U).
tail_list:
        ldaa    #1
        staa    ST_EMIT
        jsr     tail_init
1:      ldx     ST_I
        inx
        stx     ST_I
        jsr     tail_step
        jsr     tail_band
        ldx     ST_I
        cpx     ST_M
        bne     2f
        mov16   ST_U1, ST_X             ; the last step: to X
        bra     8f
2:      mov16   ST_U1, ST_C             ; lo
        ldx     ST_LC
        cpx     ST_U1
        bls     3f
        stx     ST_U1
3:      sub16   ST_U2, ST_M, ST_I
        sub16   ST_U2, ST_X, ST_U2
        bcc     4f
        ldx     ST_U2
        cpx     ST_U1
        bls     4f
        stx     ST_U1
4:      ldx     ST_C                    ; hi
        inx
        cpx     ST_UC
        bls     5f
        ldx     ST_UC
5:      stx     ST_U2
        ldx     ST_TR                   ; the nearest, kept in [lo, hi]
        dex
        cpx     ST_U1
        bcc     6f
        ldx     ST_U1
6:      cpx     ST_U2
        bls     7f
        ldx     ST_U2
7:      stx     ST_U1
8:      jsr     step_to
        ldx     ST_I
        cpx     ST_M
        bne     1b
        clr     ST_EMIT
        rts

        .sect .text.stair3,"ax"

; ------------------------------------------------------------ the closest
; For the delta found, the staircase with the least sum of squared
; deviations (256 C(i) - e(i))^2, e(i) = floor(256 E(i)), and of equal
; sums the one that casts off earlier, by a search over the states (c, s):
; the stitches off after step i and the last shaping s (the most the next
; may cast off). Of the states with the same c only those not beaten by
; one with as large an s and a smaller sum, or the same sum and an earlier
; path, are kept: DP_NS at most a step. A state's rank orders the kept
; paths, 0 the earliest. From step P on the ellipse rises by less than a
; stitch a step; once the best state is at floor(E + 1/2) there, the
; nearest staircase from it is as close as any at every later step: the
; search ends (step Q) and the rest is the nearest.
;
; A state: s (2 bytes), the sum (4), and rank << 4 | j, j = c - L. The way back of a step: a nibble for each of the n
; states of the step before, by rank, the bit j set for each state kept
; that comes from it, and n in the last nibble, (n + 2) / 2 bytes. Read
; from the top bit down, the set bits are the states in rank order (rank
; before, then the larger c), so the k-th is the state of rank k: no slot
; or c needs keeping, and the way back is read from the end by the n each
; record ends in.
;
; When the records outgrow their room the oldest go (dp_drop). The path
; traced back from the end then reaches the first step kept, and the search
; runs again from step 0 to that step for the way back of the steps before,
; in the room that path leaves, as often as it takes.

        .equ DP_MAX, 252                ; steps searched at most, room allowing
        ; in the results' memory, after the five a sleeve cap holds by then
        .equ DP_NS, 12                  ; states a step at most
        .equ LAY_A, RESK+5              ; two layers of DP_NS states, 7 bytes
        .equ LAY_B, RESV+10             ; each
        .equ DP_REC0, LAY_B+7*DP_NS     ; the way back
        .equ DP_RECMAX, (DP_NS+2)/2     ; the longest record
        .equ DP_TOP, ST_BP+BPMAX
        ; the way back runs on from the results' values to the end of ST_BP;
        ; the chosen j, 2 bits a step, are written into the records already
        ; read, from the end of the last, then moved to the end of ST_BP
        .equ DP_PB, ST_TR               ; the path
        .equ DP_PS, ST_TR+2             ; where it is written
        .equ DP_RE, ST_TR+4             ; the end of the record being read
        .equ DP_NB, ST_TR+6             ; the path's bytes
        .equ DP_K8, ST_TR+8
        .equ DCOST, ST_AP               ; (256 c - e)^2 for the band's states
        .equ DP_E, ST_DW                ; e(i)
        .equ DP_K, ST_DW+4              ; 16 p m
        .equ DP_M256, ST_TL             ; 256 m
        .equ DP_CS, ST_TL+4             ; the candidate: s, sum, its byte
        .equ DP_CC, ST_TL+6
        .equ DP_CR, ST_TL+10
        .equ DP_PREV, ST_TL+11          ; the layers: before, this step
        .equ DP_CUR, ST_TL+13
        .equ DP_REC, ST_TL+15           ; this step's way back
        .equ DP_T, ST_TL+17             ; a state of the step before
        .equ DP_G, ST_TL+18
        .equ DP_RK, ST_TR               ; new ranks, DP_NS bytes (the path's
        ; variables once the search is done)
        .equ EV_C, ST_TU+8              ; a state held: sum, its byte, s
        .equ EV_R, ST_TU+12
        .equ EV_T, ST_TU+13
        .equ EV_S, ST_TU+14
        .equ DP_BR, ST_TU+16            ; the best state's rank
        .equ DP_NP, ST_TU+17            ; states before and at this step
        .equ DP_NN, ST_TU+18
        ; when the way back outgrows its room the oldest records go, and a
        ; later pass searches again from step 0 to the step where the path
        ; so far begins (DP_T0) for the way back of the earlier steps
        .equ DP_T0, ST_M512             ; the pass's last step, 0 the first
        .equ DP_H, ST_M512+2            ; the steps whose records went
        .equ DP_N0, ST_M512+4           ; states at step DP_H
        .equ DP_LIM, ST_M512+5          ; the records' room, less the longest
        .equ DP_RB, ST_M512+7           ; the path's rank at step DP_T0

; C set when there is none (X m of 2^23 or more, more than DP_MAX steps
; or more than DP_NS states at a step: listings that would not fit, bar a
; few very wide curves).
dp_search:
        lacc16  ST_X
        lopr16  ST_M
        jsr     mul32
        ldaa    ACC
        bne     9f
        ldaa    ACC+1
        bmi     9f
        lacc16  ST_M
        jsr     times256
        sacc    DP_M256
        lacc    ST_M16
        ldab    ST_DP
        jsr     mul_b
        sacc    DP_K
        ldi16   DP_T0, 0
        ldi16   DP_LIM, DP_TOP-DP_RECMAX+1
dp_pass:
        ldx     #LAY_A                  ; step 0: at 0, no shaping yet
        stx     DP_PREV
        jsr     dp_clear
        ldx     #LAY_A
        ldaa    #0xFF
        staa    0,x
        staa    1,x
        ldx     #LAY_B
        stx     DP_CUR
        ldi16   ST_LP, 0
        ldx     #DP_REC0
        stx     DP_REC
        ldaa    #1
        staa    DP_NP
        staa    DP_N0
        ldi16   ST_I, 0
        ldi16   DP_H, 0
1:      ldx     ST_I
        inx
        stx     ST_I
        cpx     #DP_MAX+1
        bcc     9f
4:      ldx     DP_REC                  ; room for the longest record
        cpx     DP_LIM
        bcs     2f
        jsr     dp_drop
        bcs     9f
        bra     4b
2:      jsr     dp_band
        bcs     9f
        jsr     dp_costs
        jsr     dp_layer
        bcs     9f
        jsr     dp_ranks
        bcs     9f
        ldx     DP_PREV                 ; this step becomes the one before
        pshx
        ldx     DP_CUR
        stx     DP_PREV
        pulx
        stx     DP_CUR
        mov16   ST_LP, ST_LC
        ldx     ST_I
        cpx     DP_T0
        beq     15f
        cpx     ST_M
        beq     3f
        cpx     ST_PL
        bcs     1b
        lacc    DP_E                    ; the best at floor(E + 1/2)?
        ldab    #128
        jsr     opr_b
        jsr     add32
        ldaa    ST_END
        ldx     DP_PREV
        jsr     dp_entry
        ldaa    6,x
        anda    #3
        adda    ST_LP+1
        staa    ST_U1+1
        ldaa    ST_LP
        adca    #0
        cmpa    ACC+1
        bne     1b
        ldaa    ST_U1+1
        cmpa    ACC+2
        bne     1b
3:      mov16   ST_PL, ST_I             ; Q
        ldaa    DP_BR                   ; the rank of the best
        .rept   4
        lsra
        .endr
        staa    DP_RB
15:     ldaa    DP_RB
        staa    DP_T
        ldaa    ST_I+1                  ; the path to this step: (I + 3) / 4
        adda    #3                      ; bytes
        lsra
        lsra
        clr     DP_NB
        staa    DP_NB+1
        sub16   DP_PS, DP_REC, DP_NB
        mov16   DP_PB, DP_PS
5:      ldx     DP_REC                  ; step i's way back: its states in
        stx     DP_RE
        dex                             ; rank order are its set bits from
        ldab    0,x                     ; the top; it ends in their
        andb    #0x0F                   ; number
        lsrb
        beq     12f
11:     dex
        decb
        bne     11b
12:     stx     DP_REC
        clr     DP_G                    ; the place of the bit
1:      ldaa    0,x
        inx
        ldab    #8
        stab    ST_K
2:      asla
        bcc     6f
        tst     DP_T
        beq     7f
        dec     DP_T
6:      inc     DP_G
        dec     ST_K
        bne     2b
        bra     1b
7:      ldab    DP_G                    ; the rank before: the nibble
        lsrb
        lsrb
        stab    DP_T
        ldab    DP_G                    ; j: 3 - its bit in the nibble
        andb    #3
        stab    DP_G
        ldaa    #3
        suba    DP_G
        staa    DP_G
        ldx     DP_REC                  ; the record read is cleared for
13:     clr     0,x                     ; the path
        inx
        cpx     DP_RE
        bne     13b
        ldaa    ST_I+1                  ; j into the path
        deca
        jsr     path_at
        ldab    DP_G
        tsta
        beq     8f
10:     aslb
        aslb
        deca
        bne     10b
8:      orab    0,x
        stab    0,x
        ldx     ST_I
        dex
        stx     ST_I
        cpx     DP_H
        bne     5b
        ldaa    ST_PL+1                 ; moved to the end of ST_BP, from
        adda    #3                      ; its last byte down: the whole
        lsra                            ; path takes (Q + 3) / 4 bytes
        lsra
        staa    DP_RE+1
        clr     DP_RE
        ldx     #DP_TOP
        stx     ST_U1
        sub16   DP_PB, ST_U1, DP_RE
        ldab    DP_NB+1                 ; this pass's bytes: those of the
14:     decb                            ; steps before its first are 0 in
        stab    DP_K8                   ; the first pass and kept after,
        ldaa    DP_H+1                  ; the byte it shares with the later
        lsra                            ; steps' path is merged
        lsra
        cmpa    DP_K8
        bhi     16f
        ldaa    DP_K8
        ldx     DP_PS
        jsr     x_plus_a
        ldaa    0,x
        bra     17f
16:     clra
17:     psha
        ldaa    DP_K8
        ldx     DP_PB
        jsr     x_plus_a
        pula
        tab
        tst     DP_T0+1
        bne     18f
        tst     DP_T0
        beq     19f
18:     orab    0,x
19:     stab    0,x
        ldab    DP_K8
        bne     14b
        ldx     DP_H                    ; the earlier steps' pass
        beq     20f
        stx     DP_T0
        ldaa    DP_T
        staa    DP_RB
        sub16   DP_LIM, ST_U1, DP_RE
        ldx     DP_LIM
        .rept   DP_RECMAX-1
        dex
        .endr
        stx     DP_LIM
        jmp     dp_pass
20:     clc
        rts
9:      sec
        rts

        .sect .text.stair2,"ax"

; The oldest record goes, the rest move down. C set when there is none.
dp_drop:
        ldx     DP_REC
        cpx     #DP_REC0
        beq     9f
        ldab    DP_N0                   ; its length
        incb
        incb
        lsrb
        clr     DP_N0                   ; the states it leads to
        ldx     #DP_REC0
1:      ldaa    0,x
        inx
        decb
        bne     2f
        anda    #0xF0                   ; not the count
2:      asla
        bcc     3f
        inc     DP_N0
3:      tsta
        bne     2b
        tstb
        bne     1b
        stx     ST_U1
        ldx     #DP_REC0
        stx     ST_U2
4:      ldx     ST_U1
        cpx     DP_REC
        beq     5f
        ldaa    0,x
        inx
        stx     ST_U1
        ldx     ST_U2
        staa    0,x
        inx
        stx     ST_U2
        bra     4b
5:      mov16   DP_REC, ST_U2
        ldx     DP_H
        inx
        stx     DP_H
        clc
        rts
9:      sec
        rts

        .sect .text.stair4,"ax"

; A = step - 1 -> X = its path byte, A = its place in it (0-3).
path_at:
        psha
        lsra
        lsra
        ldx     DP_PB
        jsr     x_plus_a
        pula
        anda    #3
        rts

; A = step - 1 -> A = its j.
path_get:
        bsr     path_at
        ldab    0,x
        tsta
        beq     2f
1:      lsrb
        lsrb
        deca
        bne     1b
2:      tba
        anda    #3
        rts

; X = a layer: all its states empty (s = 0).
dp_clear:
        ldab    #7*DP_NS
2:      clr     0,x
        inx
        decb
        bne     2b
        rts

; A = a state, X = a layer -> X = the state. Changes A.
dp_entry:
        pshx
        ldx     #dp_ofs
        jsr     x_plus_a
        ldaa    0,x
        pulx
        jmp     x_plus_a

        .sect .text.stair3,"ax"

; ACC <<= 8.
times256:
        ldaa    ACC+1
        staa    ACC
        ldaa    ACC+2
        staa    ACC+1
        ldaa    ACC+3
        staa    ACC+2
        clr     ACC+3
        rts

; The band of step ST_I (ST_LC to ST_UC, ST_NC states) and e(i), from
; R = floor(sqrt(65536 X^2 i (2m - i))) = floor(256 m E(i)): e = R div m,
; U = floor((R + 16 p m) / 256 m), L = ceil((R + [inexact] - 16 p m) / 256 m).
dp_band:
        ldx     ST_I
        cpx     ST_M
        bne     1f
        mov16   ST_LC, ST_X
        mov16   ST_UC, ST_X
        ldaa    #1
        staa    ST_NC
        lacc16  ST_X
        bsr     times256
        sacc    DP_E
        clc
        rts
1:      jsr     ellipse_w               ; W = 65536 X^2 i (2m - i)
        jsr     shl8
        jsr     w_root
        lacc    T1
        lopr16  ST_M
        jsr     div32
        sacc    DP_E
        lacc    T1
        lopr    DP_K
        jsr     add32
        lopr    DP_M256
        jsr     div32
        sacc16  ST_UC
        ldx     ST_UC
        cpx     ST_X
        bls     4f
        ldx     ST_X
        stx     ST_UC
4:      lacc    T1
        tst     ST_EX
        bne     5f
        jsr     acc_inc
5:      lopr    DP_K
        jsr     sub32
        bcs     6f
        tst32   ACC
        beq     6f
        lopr    DP_M256
        jsr     add32
        jsr     acc_dec
        lopr    DP_M256
        jsr     div32
        sacc16  ST_LC
        bra     7f
6:      ldi16   ST_LC, 0
7:      jmp     band_states

        .sect .text.stair4,"ax"

; DCOST[j] = (256 (L + j) - e)^2 for the band's states.
dp_costs:
        clr     ST_K
1:      ldaa    ST_K
        cmpa    ST_NC
        bcc     3f
        lacc16  ST_LC
        ldab    ST_K
        jsr     opr_b
        jsr     add32
        jsr     times256
        lopr    DP_E
        jsr     sub32
        bcc     2f
        com     ACC
        com     ACC+1
        com     ACC+2
        com     ACC+3
        jsr     acc_inc
2:      jsr     square
        ldaa    ST_K
        asla
        asla
        xindex  DCOST
        jsr     stacc
        inc     ST_K
        bra     1b
3:      rts

        .sect .text.stair4,"ax"

; This step's states from those of the step before: from each state (c, s)
; to each c' of the band with c' = c (s stays) or 0 < c' - c <= s (s
; becomes c' - c). C set when more than DP_NS states would be needed.
dp_layer:
        ldx     DP_CUR
        jsr     dp_clear
        clr     DP_T
1:      ldaa    DP_T
        ldx     DP_PREV
        jsr     dp_entry
        stx     ST_S
        ldaa    0,x
        bne     77f
        ldaa    1,x
77:     beq     6f
        ldaa    6,x                     ; c = LP + j
        anda    #3
        adda    ST_LP+1
        staa    ST_U2+1
        ldaa    ST_LP
        adca    #0
        staa    ST_U2
        clr     ST_K
2:      ldaa    ST_K
        cmpa    ST_NC
        bcc     6f
        adda    ST_LC+1                 ; c' = LC + j'
        staa    ST_T+1
        ldaa    ST_LC
        adca    #0
        staa    ST_T
        sub16   ST_U1, ST_T, ST_U2      ; the shaping c' - c
        bcc     5f
        ldx     ST_S
        ldaa    0,x
        staa    DP_CS
        ldaa    1,x
        staa    DP_CS+1
        ldaa    ST_U1
        oraa    ST_U1+1
        beq     3f
        sub16   ST_AV, DP_CS, ST_U1     ; no larger than s
        bcc     5f
        mov16   DP_CS, ST_U1
3:      ldx     ST_S
        inx
        inx
        jsr     ldacc
        ldaa    ST_K
        asla
        asla
        xindex  DCOST
        jsr     ldopr
        jsr     add32
        sacc    DP_CC
        ldx     ST_S                    ; rank before, j'
        ldaa    6,x
        anda    #0xF0
        oraa    ST_K
        staa    DP_CR
        jsr     dp_insert
        bcs     7f
5:      inc     ST_K
        bra     2b
6:      inc     DP_T
        ldaa    DP_T
        cmpa    #DP_NS
        bcs     1b
        clc
7:      rts

; The candidate (DP_CS, DP_CC, DP_CR) among this step's states: dropped
; when one of the same c beats it, taking the place of those it beats.
; C set when there is no place.
dp_insert:
        clr     DP_G
1:      bsr     dp_held
        beq     4f
        ldaa    EV_R                    ; the same c?
        eora    DP_CR
        anda    #3
        bne     4f
        sub16   ST_AV, EV_S, DP_CS      ; s held >= s new?
        bcc     2f
        bsr     held_ge
        bcs     6f                      ; beaten: dropped
2:      sub16   ST_AV, DP_CS, EV_S      ; s new >= s held?
        bcc     4f
        bsr     cand_ge
        bcc     4f
        bsr     dp_held                 ; it goes
        clr     0,x
        clr     1,x
4:      inc     DP_G
        ldaa    DP_G
        cmpa    #DP_NS
        bcs     1b
        clr     DP_G                    ; into an empty place
5:      bsr     dp_held
        beq     7f
        inc     DP_G
        ldaa    DP_G
        cmpa    #DP_NS
        bcs     5b
        sec
        rts
6:      clc
        rts
7:      ldaa    DP_CS
        staa    0,x
        ldaa    DP_CS+1
        staa    1,x
        ldaa    DP_CC
        staa    2,x
        ldaa    DP_CC+1
        staa    3,x
        ldaa    DP_CC+2
        staa    4,x
        ldaa    DP_CC+3
        staa    5,x
        ldaa    DP_CR
        staa    6,x
        clc
        rts

; X = state DP_G of this step, held in EV_*; Z set when it is empty.
dp_held:
        ldaa    DP_G
        ldx     DP_CUR
        jsr     dp_entry
        ldaa    0,x
        staa    EV_S
        ldaa    1,x
        staa    EV_S+1
        ldaa    6,x
        staa    EV_R
        inx
        inx
        jsr     ldacc
        dex
        dex
        mov32   EV_C, ACC
        ldaa    EV_S
        oraa    EV_S+1
        rts

; C set when the state held is at least as good as the candidate: a smaller
; sum, or the same from a path no later.
held_ge:
        lacc    DP_CC
        lopr    EV_C
        ldaa    EV_R
        ldab    DP_CR
        bra     ge
; C set when the candidate is at least as good as the state held.
cand_ge:
        lacc    EV_C
        lopr    DP_CC
        ldaa    DP_CR
        ldab    EV_R
; C set when OPR < ACC, or equal and A's rank <= B's.
ge:     anda    #0xF0
        staa    ST_MID
        andb    #0xF0
        stab    ST_BPB
        jsr     sub32
        bcs     2f
        tst32   ACC
        bne     1f
        ldaa    ST_MID
        cmpa    ST_BPB
        bhi     2f
1:      sec
        rts
2:      clc
        rts

; The ranks of this step's states: the kept paths in order, the earliest
; first (a path from an earlier state before, then the larger c); the way
; back of the step; ST_END the best state (least sum, then earliest). C set
; when no state is left.
dp_ranks:
        clr     DP_NN
        ldx     DP_REC
        ldab    #DP_RECMAX
12:     clr     0,x
        inx
        decb
        bne     12b
        clr     DP_T
1:      ldaa    DP_T
        ldx     DP_CUR
        jsr     dp_entry
        clr     DP_G
        ldaa    0,x
        bne     77f
        ldaa    1,x
77:     beq     5f
        ldaa    6,x
        staa    EV_T
        clr     ST_J
2:      ldaa    ST_J
        ldx     DP_CUR
        jsr     dp_entry
        ldaa    0,x
        bne     77f
        ldaa    1,x
77:     beq     4f
        ldaa    6,x
        staa    EV_R
        anda    #0xF0                   ; an earlier state before
        staa    EV_S
        ldaa    EV_T
        anda    #0xF0
        cmpa    EV_S
        bhi     3f
        bne     4f
        ldaa    EV_R                    ; the same: the larger c
        anda    #3
        staa    EV_S
        ldaa    EV_T
        anda    #3
        cmpa    EV_S
        bcc     4f
3:      inc     DP_G
4:      inc     ST_J
        ldaa    ST_J
        cmpa    #DP_NS
        bcs     2b
5:      ldaa    DP_T
        xindex  DP_RK
        ldaa    DP_G
        staa    0,x
        inc     DP_T
        ldaa    DP_T
        cmpa    #DP_NS
        bcs     1b
        ldaa    #0xFF                   ; ranks in, the way back, the best
        staa    ST_END
        clr     DP_T
6:      ldaa    DP_T
        ldx     DP_CUR
        jsr     dp_entry
        stx     ST_S
        ldaa    0,x
        bne     77f
        ldaa    1,x
77:     beq     9f
        ldaa    DP_T
        xindex  DP_RK
        ldaa    0,x
        asla
        asla
        asla
        asla
        staa    EV_T
        inc     DP_NN
        ldx     ST_S
        ldaa    6,x
        staa    EV_R                    ; rank before, j
        anda    #3
        oraa    EV_T
        staa    6,x
        ldab    EV_R                    ; the way back: in byte rank
        andb    #3                      ; before / 2, bit j of the high
        ldaa    EV_R                    ; nibble (rank before even) or
        anda    #0x10                   ; the low
        bne     13f
        ldaa    #0x10
        bra     14f
13:     ldaa    #1
14:     tstb
        beq     15f
        asla
        decb
        bra     14b
15:     staa    EV_S
        ldaa    EV_R
        .rept   5
        lsra
        .endr
        ldx     DP_REC
        jsr     x_plus_a
        ldab    EV_S
        orab    0,x
        stab    0,x
        ldx     ST_S                    ; the best so far?
        inx
        inx
        jsr     ldacc
        mov32   T2, ACC
        ldaa    ST_END
        cmpa    #0xFF
        beq     10f
        lopr    EV_C
        ldaa    EV_T
        ldab    DP_BR
        bsr     ge_strict
        bcc     9f
10:     mov32   EV_C, T2
        ldaa    EV_T
        staa    DP_BR
        ldaa    DP_T
        staa    ST_END
9:      inc     DP_T
        ldaa    DP_T
        cmpa    #DP_NS
        bcs     6b
        ldaa    ST_END
        cmpa    #0xFF
        beq     11f
        ldab    DP_NP                   ; the record: (states before + 2)
        incb                            ; / 2 bytes, their number in the
        incb                            ; last nibble
        lsrb
        ldx     DP_REC
        tba
        jsr     x_plus_a
        stx     DP_REC
        dex
        ldab    DP_NP
        orab    0,x
        stab    0,x
        ldaa    DP_NN
        staa    DP_NP
        clc
        rts
11:     sec
        rts

; C set when ACC < OPR, or equal and A < B.
ge_strict:
        staa    ST_MID
        stab    ST_BPB
        jsr     sub32
        bcs     1f
        tst32   ACC
        bne     2f
        ldaa    ST_MID
        cmpa    ST_BPB
        bcs     1f
2:      clc
        rts
1:      sec
        rts

        .sect .rodata.stair,"a"
dp_ofs: .byte   0, 7, 14, 21, 28, 35, 42, 49, 56, 63, 70, 77
