; A small test image for the headless runner: start-up set-up, the key scan,
; the display link, lamps, beeps, a printed line and a paper feed, raw port-6
; needle writes, the power-off sequence, a halt and an undecoded opcode.
;
; Keys: 0-9 show the digit at the right; C beeps; = prints "abd"5 BD" and
; feeds; S feeds (unpatched: waiting on every port-6 pulse); ACNG writes
; needle bytes 1 and 2 to port 6; AC powers off; FN runs CLI; FM runs an
; undecoded opcode. Every key shows its number on the lamps.

        .text
        .globl _start
_start:                                 ; 0xC000
        lds     #0x23ff
        clr     0x4001
        clr     0x4003
        clr     0x4000                  ; A.Ddr: all inputs
        ldaa    #0xef
        staa    0x4002                  ; B.Ddr
        ldaa    #0x34
        staa    0x4001
        ldaa    #0x3c
        staa    0x4003
        clr     0x0017                  ; port 6 idle
        ldaa    #0x54
        jsr     command
        ldaa    #0x30
        jsr     command
        ldaa    #0x14
        jsr     command
        jsr     0xe2d5                  ; start-up beep
        ldaa    #0x3f                   ; "   0"
        staa    digits+3
        clr     digits
        clr     digits+1
        clr     digits+2
        jsr     refresh
        jmp     0xe210

; A = command byte
command:
        ldab    #0x80
        jmp     sendframe1

; One display byte in its own select frame: A = byte, B = 0x80 for a command.
sendframe1:
        psha
        ldaa    #0x4f
        staa    0x4002                  ; deselect
        pula
        jsr     sendbyte
        ldaa    #0x4f
        staa    0x4002
        rts

; A = byte, B = 0x80 for a command, 0 for data. Select must be low.
sendbyte:
        staa    shiftout
        stab    cmdflag
        ldaa    #8
        staa    bitcount
1:      ldaa    shiftout
        asla
        staa    shiftout
        ldaa    #0x34
        bcc     2f
        ldaa    #0x3c
2:      staa    0x4001                  ; CA2 carries the bit
        ldaa    cmdflag
        oraa    #0x0f
        staa    0x4002                  ; clock low, select low
        oraa    #0x20
        staa    0x4002                  ; rising edge
        dec     bitcount
        bne     1b
        rts

; Clear, four digits with filler bytes, refresh.
refresh:
        ldaa    #0x4f
        staa    0x4002
        ldaa    #0x20
        ldab    #0x80
        jsr     sendbyte
        ldx     #digits
1:      ldaa    0,x
        clrb
        jsr     sendbyte
        clra
        clrb
        jsr     sendbyte
        inx
        cpx     #digits+4
        bne     1b
        ldaa    #0x11
        ldab    #0x80
        jsr     sendbyte
        ldaa    #0x4f
        staa    0x4002
        rts

; B = key number (row * 8 + column), or 0xff for none.
scan:
        ldaa    #0x3c
        staa    0x4003                  ; CB2 high
        ldx     #rowselect
        clrb
1:      ldaa    0,x
        staa    0x4002
        ldaa    0x4000
        eora    #0xff
        bne     found
        tba
        adda    #8
        tab
        inx
        cpx     #rowselect+4
        bne     1b
        ldaa    #0x4f
        staa    0x4002
        ldaa    #0x34
        staa    0x4003                  ; CB2 low: row 4
        ldaa    0x4000
        eora    #0xff
        ldab    #0x3c
        stab    0x4003
        ldab    #32
        tsta
        bne     found
        ldab    #0xff
        rts
found:  lsra
        bcs     1f
        incb
        bra     found
1:      rts

confirm:
        stab    key
        jsr     0xe2ce
        jsr     scan
        ldaa    key
        cba
        bne     released
release:
        jsr     scan
        cmpb    #0xff
        bne     release
        ldab    key
        stab    *0x03                   ; lamps show the key number
        jmp     dispatch
released:
        jmp     0xe210

dispatch:
        cmpb    #10
        bcc     notdigit
        ldx     #segments
1:      tstb
        beq     2f
        inx
        decb
        bra     1b
2:      ldaa    0,x
        staa    digits+3
        jsr     refresh
        jmp     0xe210
notdigit:
        cmpb    #11
        bne     1f
        jsr     0xe2d5
        jmp     0xe210
1:      cmpb    #34
        bne     1f
        jsr     printdemo
        jmp     0xe210
1:      cmpb    #12
        bne     1f
        jmp     0xcc96
1:      cmpb    #13
        bne     1f
        jsr     needles
        jmp     0xe210
1:      cmpb    #14
        bne     1f
        jsr     0xe41d
        jmp     0xe210
1:      cmpb    #32
        bne     1f
        cli
1:      cmpb    #31
        bne     1f
        .byte   0x00
1:      jmp     0xe210

printdemo:
        ldaa    #'a
        staa    0x2150
        ldaa    #'b
        staa    0x2151
        ldaa    #'d
        staa    0x2152
        ldaa    #'"
        staa    0x2153
        ldaa    #'5
        staa    0x2154
        ldaa    #' 
        staa    0x2155
        ldaa    #'B
        staa    0x2156
        ldaa    #'D
        staa    0x2157
        ldaa    #0x80
        staa    0x2158
        jsr     0xf36e
        jsr     0xe41d
        rts

; Needle data as the print routine writes it: motor on, needle, needles off.
needles:
        ldaa    #0x80
        staa    *0x17
        ldaa    #0x81
        staa    *0x17
        ldaa    #0x80
        staa    *0x17
        ldaa    #0x82
        staa    *0x17
        ldaa    #0x80
        staa    *0x17
        clr     0x0017
        rts

rowselect:
        .byte   0x4e, 0x4d, 0x4b, 0x47
segments:
        .byte   0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x67

; Power off: port 6 idle, then the sleep and the off loop.
        .org    0x0c96                  ; 0xCC96
        clr     0x0017
        .fill   11, 1, 0x01             ; NOPs
        .byte   0x1a                    ; 0xCCA4: SLP
        bra     .                       ; 0xCCA5

        .org    0x2210                  ; 0xE210: the key wait
waitkey:
        jsr     scan
        cmpb    #0xff
        beq     waitkey
        jmp     confirm
        .org    0x221b
        jmp     0xcc96                  ; inactivity switch-off (bent by the patch)

        .org    0x22ce                  ; 0xE2CE: key-confirm delay
        rts

        .org    0x22d5                  ; 0xE2D5: tone, two beeper toggles
        ldaa    #0x80
        .fill   4, 1, 0x01
        staa    *0x03                   ; 0xE2DB
        clra
        .fill   5, 1, 0x01
        staa    *0x03                   ; 0xE2E3
        rts

        .org    0x241d                  ; 0xE41D: paper feed, 7 passes of a
        ldaa    #84                     ; home pulse and 84 steps
        staa    0x217b
        ldaa    #0x80
        staa    *0x17                   ; motor on
        ldaa    #7
        staa    passes
1:      jsr     homepulse
        ldaa    #84
        staa    steps
2:      jsr     steppulse
        dec     steps
        bne     2b
        dec     passes
        bne     1b
        clr     0x0017
        rts

homepulse:
        jsr     untilhome
        jsr     untilhome
        jsr     untilnohome
        jmp     untilnohome
steppulse:
        jsr     untilnostep
        jsr     untilnostep
        jsr     untilstep
        jmp     untilstep
untilhome:
        ldaa    *0x17
        anda    #0x20
        beq     untilhome
        rts
untilnohome:
        ldaa    *0x17
        anda    #0x20
        bne     untilnohome
        rts
untilstep:
        ldaa    *0x17
        anda    #0x10
        beq     untilstep
        rts
untilnostep:
        ldaa    *0x17
        anda    #0x10
        bne     untilnostep
        rts

        .org    0x336e                  ; 0xF36E: print one line (needles only)
        jmp     needles

        .org    0x3ffe
        .word   0xc000

        .data
        .org    0
shiftout: .byte 0
cmdflag:  .byte 0
bitcount: .byte 0
key:      .byte 0
digits:   .byte 0, 0, 0, 0
passes:   .byte 0
steps:    .byte 0
